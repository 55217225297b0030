#include "compiler/file_compilati.h"

#include <algorithm>
#include <memory>
#include <optional>

#include "compiler/codifica.h"
#include "compiler/compilatore.h"
#include "compiler/formato.h"
#include "sistema/file_disco.h"

namespace {
// The line file's pieces on their way to the disk: large enough that each
// write is a big one, small enough to stay in the cache.
constexpr size_t pezzo_linea = 256 * 1024;
// A whole block of elements, at the most bytes an element takes.
constexpr size_t margine_blocco = punti_piano::metri_per_blocco * byte_valore(tipo_valore::doppio);
}  // namespace

uint64_t byte_coordinata(const punti_piano& punti, int k) {
  uint64_t byte = 0;
  for (const uint16_t tipo : {tipo_valore::vuoto, tipo_valore::intero, tipo_valore::doppio})
    byte += byte_valore(tipo) * uint64_t{punti.quanti(k, tipo)};
  return byte;
}

void codifica_linea_a_pezzi(const punti_piano& punti, size_t pezzo,
                            const consegna_pezzo& consegna) {
  // The one loop that runs per metre of the line: each coordinate is
  // written through a local cursor into a buffer of its own. The file lists
  // every first coordinate before any second one, so the second part's
  // pieces go where the first part ends.
  //
  // A buffer has room for a piece and a whole block of elements more:
  // within a block the cursors move with no test and no call, and full
  // pieces are handed over between blocks. The cursors are plain locals, so
  // that they stay in registers. Every byte handed over is written first,
  // so the buffers need no zeroing.
  pezzo = std::max<size_t>(pezzo, 1);
  struct parte {
    std::unique_ptr<char[]> buffer;
    uint64_t posizione;
  };
  parte x{std::make_unique_for_overwrite<char[]>(pezzo + margine_blocco), 0};
  parte y{std::make_unique_for_overwrite<char[]>(pezzo + margine_blocco),
          byte_coordinata(punti, 0)};
  char* px = x.buffer.get();
  char* py = y.buffer.get();
  const auto consegna_parte = [&consegna](parte& d, char*& p, size_t almeno) {
    const size_t n = static_cast<size_t>(p - d.buffer.get());
    if (n == 0 || n < almeno) return;
    consegna(d.posizione, {d.buffer.get(), n});
    d.posizione += n;
    p = d.buffer.get();
  };
  punti.percorri(
      [&](uint16_t tx, double vx, uint16_t ty, double vy) {
        px = scrivi_valore(px, tx, vx);
        py = scrivi_valore(py, ty, vy);
      },
      [&] {
        consegna_parte(x, px, pezzo);
        consegna_parte(y, py, pezzo);
      });
  consegna_parte(x, px, 0);
  consegna_parte(y, py, 0);
}

std::string codifica_linea(const punti_piano& punti) {
  std::string s(byte_coordinata(punti, 0) + byte_coordinata(punti, 1), '\0');
  codifica_linea_a_pezzi(punti, pezzo_linea, [&s](uint64_t posizione, std::string_view p) {
    s.replace(posizione, p.size(), p);
  });
  return s;
}

std::string codifica_tabella(const std::array<voce_corsa, voci_tabella_corsa>& tabella) {
  codifica b;
  b.riserva(tabella.size() * byte_voce_vuota + 1024);
  for (const voce_corsa& v : tabella) campi(b, v);
  return b.prendi();
}

std::string codifica_tracciato(const std::vector<cella>& celle) {
  codifica b;
  b.riserva(celle.size() * byte_cella);
  for (const cella& c : celle) campi(b, c);
  return b.prendi();
}

bool compilatore::compilati_da_sostituire() const {
  switch (quando_sostituire) {
    case sostituzione::sempre:
      return true;
    case sostituzione::senza_errori:
      return problema.codice == 0;
    case sostituzione::senza_avvisi:
      return problema.codice == 0 && avvisi.totale() == 0;
    case sostituzione::mai:
      return false;
  }
  return false;
}

void compilatore::scrivi_compilati() {
  if (!compilati_da_sostituire()) return;
  // All three are written in full before any of them takes its place, and
  // then they take it as one set: a failure on the way leaves the previous
  // set whole, and a kill between two renames is completed by the next run.
  std::optional<file_nuovo> linea;
  if (scrivi_linea != 0) {
    // Written as it is computed: a thread of its own for the writes measured
    // no faster, and slower while other work keeps the processors busy.
    linea.emplace(file_linea());
    linea->riserva(byte_coordinata(punti_linea, 0) + byte_coordinata(punti_linea, 1));
    codifica_linea_a_pezzi(
        punti_linea, pezzo_linea,
        [&linea](uint64_t posizione, std::string_view p) { linea->scrivi_a(posizione, p); });
  }
  file_nuovo tabella(file_tabella());
  tabella.scrivi(codifica_tabella(tabella_corsa));
  file_nuovo tracciato(file_tracciato());
  tracciato.scrivi(codifica_tracciato(celle));
  // The line file last: replacing a file makes the system start writing
  // the new one out, which for the line file's megabytes holds its rename
  // for a while, and a kill meanwhile takes effect only once it is done.
  // Last, that rename completes the set instead of splitting it.
  std::vector<file_nuovo*> insieme{&tabella, &tracciato};
  if (linea) insieme.push_back(&*linea);
  sostituisci_insieme(insieme);
}
