// What the two source readers share: the file read as items, the lead item
// of each row with its line, the comment items before it, the position check
// and the error pair that points authors at the row.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>

#include "app/form1.h"
#include "compiler/codici_errore.h"
#include "compiler/lettore_voci.h"
#include "compiler/numeri.h"

// Text fields of a voce_corsa carry a 16-bit length: a longer text cannot be stored.
inline constexpr size_t testo_massimo = 32767;

class lettura_sorgente {
 protected:
  lettura_sorgente(Form1& f, lettore_voci& in, const std::filesystem::path& file)
      : f_(f), in_(in), file_(file), nome_file_(file.filename().string()) {}

  // What a row leaves the loop to do: go on, stop and still run the
  // end-of-file steps (a position off the track), or stop for good.
  enum class esito { avanti, fuori_percorso, ferma };

  esito fuori_percorso(int64_t p) {
    segna(numero_errore(errore_compilazione::fuori_percorso), p);
    return esito::fuori_percorso;
  }
  // A problem that stops reading for good: the file is deleted on the spot.
  esito ferma(errore_compilazione codice) {
    segna(numero_errore(codice));
    return chiudi();
  }
  esito ferma(errore_compilazione codice, int64_t posizione) {
    return rifiutata(numero_errore(codice), posizione);
  }
  // A storer refused the row: its code stands, with the row's position.
  esito rifiutata(int32_t codice, int64_t posizione) {
    segna(codice, posizione);
    return chiudi();
  }

  // A row "position, value" of a value that holds up to the next such row:
  // riempi_fino(c) gives the cells before the position's own cell c the value
  // in force until now, then the row's value is the one in force.
  template <class F>
  esito riga_di_valore(int64_t& in_vigore, F riempi_fino) {
    const int32_t p = in_.i32();
    const int32_t v = in_.i32();
    if (!in_percorso(p)) return fuori_percorso(p);
    const int64_t c = indice_cella(p, 0);
    if (c > 0) riempi_fino(c);
    in_vigore = v;
    return esito::avanti;
  }

  // Reads the next row's lead item into riga; a lead item holding "-" is a
  // comment and the next item stands in its place, at most twice in a row.
  // False at the end of the file: the last item of a file is never acted on.
  bool prossima_riga();

  void leggi_capo() {
    f_.riga = in_.testo();
    riga_capo_ = in_.riga_voce();
  }

  // A row's position p is on the track when (p + margine) / 50 does not
  // exceed the last cell, compared as real numbers.
  bool in_percorso(int64_t p, int margine = 100) const {
    return (static_cast<double>(p) + margine) / 50.0 <= f_.ultima_cella;
  }
  bool in_celle(int64_t i) const { return i >= 0 && i <= f_.ultima_cella; }

  // The fill of the gradient, speed and adhesion bytes: the cells from the
  // cursor up to the one before `fino` get the value in force. At least one
  // cell is written, even when the cursor already stands at or past `fino`;
  // a cell past the last one is counted but never written.
  template <class F>
  void riempi(int64_t& cursore, int64_t fino, F scrivi) {
    do {
      if (in_celle(cursore)) scrivi(f_.celle[static_cast<size_t>(cursore)]);
      ++cursore;
    } while (cursore < fino);
  }

  // Records a problem of the current row.
  void segna(int32_t codice) {
    f_.codice_errore = codice;
    f_.file_errore = nome_file_;
    f_.riga_errore = riga_capo_;
  }
  void segna(int32_t codice, int64_t posizione) {
    segna(codice);
    f_.posizione_errore = static_cast<int32_t>(posizione);
  }

  Form1& f_;
  lettore_voci& in_;
  std::filesystem::path file_;
  std::string nome_file_;
  int32_t riga_capo_ = 0;

 private:
  esito chiudi();
};

// Reads one source file with the given reader. A read failure anywhere in it
// (the file cannot be read, a number does not fit its field, the file ends
// inside a row) gives code 25 and deletes both source files. Returns what the
// reader returned, false after a read failure.
bool leggi_sorgente(Form1& f, const std::filesystem::path& file,
                    const std::function<bool(lettore_voci&)>& lettura);
