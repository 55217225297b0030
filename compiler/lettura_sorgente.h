// What the two source readers share: the file read as items, the lead item
// of each row with its place, the comment items before it, the position check,
// the error pair that points authors at the item at fault, and the warnings
// for what a row gives that its author may not have meant.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "compiler/codici_errore.h"
#include "compiler/compilatore.h"
#include "compiler/lettore_voci.h"
#include "compiler/numeri.h"

class lettura_sorgente {
 public:
  // "la riga 'stazione' finisce dopo 17 dei suoi 18 valori: ...": a row that
  // took values from the lines after its own, and what to do.
  static std::string riga_continuata(const lettore_voci::riga_letta& r);

 protected:
  lettura_sorgente(compilatore& f, lettore_voci& in, const std::filesystem::path& file)
      : f_(f), in_(in), file_(file), nome_file_(file.filename().string()) {
    in_.letto_come_zero = [this](std::string_view voce) { numero_letto_come_zero(voce); };
  }
  ~lettura_sorgente() { in_.letto_come_zero = nullptr; }
  lettura_sorgente(const lettura_sorgente&) = delete;
  lettura_sorgente& operator=(const lettura_sorgente&) = delete;

  // Where an item begins in the file.
  struct luogo {
    int32_t riga = 0;
    int32_t colonna = 0;
  };
  luogo qui() const { return {in_.riga_voce(), in_.colonna_voce()}; }

  void avvisa(tipo_avviso tipo, luogo dove, std::string testo);
  // The item as an author reads it in a message: quoted, cut short when long.
  static std::string citazione(std::string_view voce);

  // A lead item that started no row: a section line, or a word that is no
  // keyword (or a leftover item of the row before).
  void riga_non_letta();
  // A lead item skipped as a comment.
  void commento();
  // Items on this line are known to be left unread (a curve row when the
  // plan is not built): they warn of nothing.
  void salta_riga() { riga_saltata_ = capo_.riga; }
  // The text that ends a row (a board's, a station's name): an item after it
  // on its line is most likely the rest of it, cut off by a comma. A text
  // that is a number is rather the row's values slid by one place.
  void testo_in_fondo(std::string_view testo) {
    if (testo.find_first_not_of("0123456789+-. ") == std::string_view::npos) return;
    // A text taken from the line after the row's own is no text of it.
    if (in_.riga_voce() != in_.riga_corrente().riga) return;
    testo_in_fondo_ = testo;
    riga_testo_ = in_.riga_voce();
  }
  // Number items that may be empty (a side of a board left blank) or words
  // (a code point without a code) without a warning.
  bool vuote_ammesse_ = false;
  bool parole_ammesse_ = false;

  // What a row leaves the loop to do: go on, stop and still run the
  // end-of-file steps (a position off the track), or stop for good.
  enum class esito { avanti, fuori_percorso, ferma };

  esito fuori_percorso(int64_t p) {
    segna(numero_errore(errore_compilazione::fuori_percorso), p);
    // A length of 0 or less puts every position from 0 on off the track: the
    // length row is at fault, not the row that met it.
    const compilatore::luogo_riga& l = f_.riga_lunghezza;
    if (p >= 0 && l.riga > 0 && f_.tabella_corsa[voce_tabella::lunghezza].fine <= 0) {
      f_.problema.file = l.file;
      f_.problema.riga = l.riga;
      f_.problema.colonna = l.colonna;
    }
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

  // Rows of one filled value (gradient, speed, adhesion) go in ascending
  // order, one per cell: the last one's cell and position, for the warning.
  struct ordine_righe {
    const char* nome;    // "pendenza", as the warning names the rows
    bool vista = false;  // whether a row came before
    int64_t cella = 0;
    int32_t posizione = 0;
  };

  // A row "position, value" of a value that holds up to the next such row:
  // riempi_fino(c) gives the cells before the position's own cell c the value
  // in force until now, then the row's value is the one in force. `dove` is
  // left on the value's item.
  template <class F>
  esito riga_di_valore(int64_t& in_vigore, ordine_righe& ordine, luogo& dove, F riempi_fino) {
    const int32_t p = posizione();
    const int32_t v = in_.i32();
    dove = qui();
    if (!in_percorso(p)) return fuori_percorso(p);
    const int64_t c = indice_cella(p, 0);
    if (ordine.vista && c <= ordine.cella) avvisa_ordine(ordine, p, c);
    ordine = {ordine.nome, true, c, p};
    if (c > 0) riempi_fino(c);
    in_vigore = v;
    return esito::avanti;
  }
  void avvisa_ordine(const ordine_righe& ordine, int32_t p, int64_t c);

  // Reads the next row's lead item into riga; a lead item holding "-" is a
  // comment and the next item stands in its place, at most twice in a row.
  // False at the end of the file: the last item of a file is never acted on.
  bool prossima_riga();

  void leggi_capo() {
    riga_finita();
    riga_prima_ = in_.riga_corrente();
    const std::string_view capo = in_.testo();
    f_.riga = capo;
    in_.inizia_riga(capo);
    capo_ = colpa_ = qui();
    capo_a_inizio_riga_ = in_.a_inizio_riga();
  }
  // The row just read took values from a line after its own: said at the
  // row's own line, once.
  void riga_finita();
  // The position item of a row: an error of the row points at it.
  int32_t posizione() {
    const int32_t p = in_.i32();
    colpa_ = qui();
    return p;
  }
  // An error of the row points at the item just read.
  void colpa_qui() { colpa_ = qui(); }

  // A row's position p is on the track when (p + margine) / 50 does not
  // exceed the last cell, compared as real numbers.
  bool in_percorso(int64_t p, int margine = 100) const {
    return (static_cast<double>(p) + margine) / metri_cella <= f_.ultima_cella;
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

  // Records a problem of the current row. A row that took values from the
  // lines after its own is at fault where it begins.
  void segna(int32_t codice) {
    const luogo l = luogo_della_colpa();
    riga_finita();
    f_.problema.codice = codice;
    f_.problema.file = nome_file_;
    f_.problema.riga = l.riga;
    f_.problema.colonna = l.colonna;
  }
  luogo luogo_della_colpa() const {
    const lettore_voci::riga_letta& r = in_.riga_corrente();
    return r.riga_seguito != 0 ? luogo{r.riga, r.colonna} : colpa_;
  }
  void segna(int32_t codice, int64_t posizione) {
    segna(codice);
    f_.problema.posizione = static_cast<int32_t>(posizione);
  }

  compilatore& f_;
  lettore_voci& in_;
  std::filesystem::path file_;
  std::string nome_file_;
  luogo capo_;   // the lead item of the current row
  luogo colpa_;  // the item an error of the current row points at
  bool capo_a_inizio_riga_ = true;

 private:
  esito chiudi();
  void numero_letto_come_zero(std::string_view voce);

  int32_t riga_avvisi_ = 0;     // the line of the last warning
  uint32_t tipi_avvisati_ = 0;  // the kinds warned of on that line
  int32_t riga_saltata_ = 0;
  std::string testo_in_fondo_;
  int32_t riga_testo_ = 0;
  lettore_voci::riga_letta riga_prima_;  // the row before the current one
  int32_t riga_continuata_ = 0;          // the line of the last row said to run on
};

// Reads one source file with the given reader. A read failure anywhere in it
// (the file cannot be read or is larger than byte_massimi_sorgente, a number
// does not fit its field, the file ends inside a row) gives code 25, with its
// reason and the place of the item at fault, and deletes both source files.
// A file with NUL bytes is read, with a warning. Returns what the reader
// returned, false after a read failure.
bool leggi_sorgente(compilatore& f, const std::filesystem::path& file,
                    const std::function<bool(lettore_voci&)>& lettura);

// A source is read whole into memory; the largest a source can be, far above
// any real scenario's (the sources of a 1 000 km line take some 200 kB, and
// one row per metre of it some 20 MB). A larger file is not read.
inline constexpr uint64_t byte_massimi_sorgente = uint64_t{32} << 20;
// "ha N byte, piu' dei M che ...": why a source of `byte` bytes is not read.
std::string sorgente_troppo_grande(uint64_t byte);
