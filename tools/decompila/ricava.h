// The two sources of a scenario, rebuilt from its compiled files alone: the
// rows that, compiled again, give the same bytes. The compiler keeps no trace
// of the rows themselves, so each part is recovered from what it leaves in
// the records: a value in force from the cells where it changes, a curve from
// the plan's steps, a code point from what the post-pass could not have put.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/formato.h"
#include "compiler/lettura_compilati.h"

struct sorgenti_ricavate {
  std::string linea;  // NAME_linea.txt (empty without the line file)
  std::string corsa;  // NAME_TRAIN-.txt
  // Parts seen at once not to come from any source; the rest is found by
  // compiling the sources again (confronta_compilati).
  std::vector<problema> problemi;
};

// With con_linea false the line file is neither read nor needed, and the
// line source has no curve.
sorgenti_ricavate ricava_sorgenti(const scenario_letto& s, bool con_linea);

// One problem for a compiled file that differs from the one expected: the
// first byte that differs, or the sizes.
std::vector<problema> confronta_compilati(const std::string& file, std::string_view atteso,
                                          std::string_view ottenuto);

// Between the parts of the decompiler: ricava.cpp reads the files and hands
// them to ricava_linea.cpp, which writes the line source, and to
// ricava_corsa.cpp, which writes the run source.
namespace ricavo {

using righe = std::string;

// One row of a source, ended as every source line is (CR LF).
void riga(righe& r, std::string_view testo);

// A text as the item reader gives it back: plain when it can be, in quotes
// when it holds a comma, a line end or blanks at its ends. A text that holds
// a quote and needs quoting cannot be written, in any form: a plain item
// ends at the first comma or line end, loses its outer blanks, and is read
// as quoted when it starts with a quote; a quoted item ends at the first
// quote after the opening one. So no source gives such a text, and only a
// file changed by hand holds one: it is named as not coming back.
std::optional<std::string> testo_sorgente(const std::string& t);

// A name that stands in a comment: nothing that ends an item or starts a quote.
std::string per_commento(std::string_view nome);

struct contesto {
  const scenario_letto& s;
  std::vector<problema>& problemi;
  // The cells as the rows left them: the header slots as before the codes.
  const std::vector<cella>& celle;
  void tracciato(size_t cella_n, std::string testo) const {
    problemi.push_back({s.file.tracciato, cella_n * byte_cella, std::move(testo)});
  }
  void tabella(int voce, std::string testo) const {
    problemi.push_back({s.file.tabella, s.inizio_voce[static_cast<size_t>(voce)], std::move(testo)});
  }
  void linea(std::optional<size_t> byte, std::string testo) const {
    problemi.push_back({s.file.linea, byte, std::move(testo)});
  }
};

// Cells where a value in force (a byte of the cell) changes: a row at each,
// the first at 0. The fill stops short of the last three cells.
template <typename F, typename S>
void righe_in_vigore(const std::vector<cella>& celle, F&& valore, S&& scrivi) {
  const int64_t n = static_cast<int64_t>(celle.size()) - 1;
  const int64_t fino = n - 3;
  int precedente = 0;
  for (int64_t i = 0; i <= fino; ++i) {
    const int v = valore(celle[static_cast<size_t>(i)]);
    if (i == 0 || v != precedente) scrivi(i, v);
    precedente = v;
  }
  // Rows repeated at the last position the check lets through each fill
  // one cell more: that is how the last three cells get a value.
  int64_t ultima_piena = -1;
  for (int64_t i = std::max<int64_t>(n - 2, 0); i <= n; ++i)
    if (valore(celle[static_cast<size_t>(i)]) != 0) ultima_piena = i;
  for (int64_t i = std::max<int64_t>(n - 2, 0); i <= ultima_piena; ++i)
    scrivi(n - 2, valore(celle[static_cast<size_t>(i)]));
}

// The two sources, from the cells as the rows left them.
std::string sorgente_linea(const contesto& x, bool con_linea, int32_t L);
std::string sorgente_corsa(const contesto& x);

}  // namespace ricavo
