#include "compiler/lettura_sorgente.h"

#include <algorithm>
#include <cstddef>
#include <limits>
#include <system_error>

#include "app/file_disco.h"
#include "compiler/codici_errore.h"

bool lettura_sorgente::prossima_riga() {
  for (int commenti = 0;; ++commenti) {
    if (in_.fine()) return false;
    leggi_capo();
    if (in_.fine()) return false;
    if (commenti == 2 || !contiene(f_.riga, "-")) return true;
    commento();
  }
}

void lettura_sorgente::commento() {
  if (!f_.riga.starts_with('-') && capo_a_inizio_riga_)
    avvisa(tipo_avviso::commento_sospetto, capo_,
           citazione(f_.riga) +
               " contiene un trattino, e la riga e' saltata come un commento; un commento "
               "comincia con '-'");
  // What follows on a comment's line is no row of its own.
  salta_riga();
}

lettura_sorgente::esito lettura_sorgente::chiudi() {
  elimina_file(file_);
  return esito::ferma;
}

void lettura_sorgente::avvisa(tipo_avviso tipo, luogo dove, std::string testo) {
  if (dove.riga != riga_avvisi_) {
    riga_avvisi_ = dove.riga;
    tipi_avvisati_ = 0;
  }
  const uint32_t bit = 1u << static_cast<unsigned>(tipo);
  if ((tipi_avvisati_ & bit) != 0) return;
  tipi_avvisati_ |= bit;
  f_.avvisi.aggiungi({nome_file_, dove.riga, dove.colonna, std::move(testo), tipo});
}

std::string lettura_sorgente::citazione(std::string_view voce) {
  constexpr size_t massimo = 40;
  std::string c = "'";
  for (size_t i = 0; i < voce.size() && i < massimo; ++i) {
    const unsigned char x = static_cast<unsigned char>(voce[i]);
    c += (x < 0x20 || x == 0x7F) ? '?' : voce[i];
  }
  if (voce.size() > massimo) c += "...";
  return c + "'";
}

void lettura_sorgente::riga_non_letta() {
  const std::string& r = f_.riga;
  if (r.empty() || (contiene(r, "[") && contiene(r, "]")) || capo_.riga == riga_saltata_) return;
  if (capo_a_inizio_riga_) {
    avvisa(tipo_avviso::riga_sconosciuta, capo_,
           "riga ignorata: " + citazione(r) +
               " non contiene nessuna parola chiave di questo file: correggere la parola o "
               "togliere la riga");
    salta_riga();
  } else if (capo_.riga == riga_testo_) {
    avvisa(tipo_avviso::testo_spezzato, capo_,
           citazione(r) + " e' in piu' in fondo alla riga: se e' il seguito del testo " +
               citazione(testo_in_fondo_) +
               ", la virgola lo ha spezzato; scrivere il testo intero tra virgolette, come "
               "\"A, B\"");
  } else {
    avvisa(tipo_avviso::voce_in_piu, capo_,
           citazione(r) +
               " e' in piu' in fondo alla riga, dopo i valori che la riga legge, ed e' "
               "ignorato: toglierlo, o controllare i valori prima");
  }
}

void lettura_sorgente::numero_letto_come_zero(std::string_view voce) {
  if (voce.empty()) {
    if (!vuote_ammesse_)
      avvisa(tipo_avviso::numero_vuoto, qui(), "manca un valore: vale 0; scrivere 0 se e' voluto");
    return;
  }
  if (parole_ammesse_ && voce.find_first_of("0123456789") == std::string_view::npos) return;
  avvisa(tipo_avviso::numero_illeggibile, qui(),
         citazione(voce) + " non e' un numero e vale 0: correggere il valore");
}

void lettura_sorgente::avvisa_ordine(const ordine_righe& ordine, int32_t p, int64_t c) {
  const std::string riga =
      "la riga di " + std::string(ordine.nome) + " a " + std::to_string(p) + " m";
  const std::string prima = std::to_string(ordine.posizione) + " m";
  avvisa(tipo_avviso::fuori_ordine, colpa_,
         c == ordine.cella
             ? riga + " cade nella stessa cella di 50 m della precedente, a " + prima +
                   ": una cella ha un valore solo, e una delle due righe non vale dove e' "
                   "scritta; tenere una riga per cella"
             : riga + " viene dopo quella a " + prima + ": le righe di " + ordine.nome +
                   " vanno in ordine di posizione crescente");
}

std::string sorgente_troppo_grande(uint64_t byte) {
  return "ha " + std::to_string(byte) + " byte, piu' dei " + std::to_string(byte_massimi_sorgente) +
         " che puo' avere il sorgente di uno scenario: non e' il file giusto, o e' danneggiato";
}

namespace {

// A source is text: a NUL byte, which no editor writes in a text, reads as
// part of an item and may hide the rows around it, though the compiled bytes
// come out as ever. Said once per file, where the first one lies; a file
// with nothing but blanks and NULs is said to hold no text at all.
void avvisa_se_non_testo(Form1& f, const std::string& nome, std::string_view dati) {
  const size_t nul = dati.find('\0');
  if (nul == dati.npos) return;
  const size_t inizio_riga = dati.find_last_of("\r\n", nul) + 1;  // npos + 1 is 0
  // Lines end as the item reader ends them: CR LF, a lone LF or a lone CR.
  int64_t riga = 1;
  for (size_t i = 0; i < inizio_riga; ++i)
    if (dati[i] == '\n' || (dati[i] == '\r' && (i + 1 >= dati.size() || dati[i + 1] != '\n')))
      ++riga;
  const bool senza_testo = dati.find_first_not_of(std::string_view(" \t\r\n\0", 5)) == dati.npos;
  f.avvisi.aggiungi(
      {nome, static_cast<int32_t>(std::min<int64_t>(riga, std::numeric_limits<int32_t>::max())),
       static_cast<int32_t>(
           std::min<size_t>(nul - inizio_riga + 1, std::numeric_limits<int32_t>::max())),
       senza_testo ? "il file non contiene testo, solo byte NUL e spazi: non e' un sorgente; "
                     "forse e' il file sbagliato o e' danneggiato"
                   : "il file contiene byte NUL, che un sorgente di testo non ha: forse e' "
                     "danneggiato; togliere i byte NUL con un editor"});
}

}  // namespace

bool leggi_sorgente(Form1& f, const std::filesystem::path& file,
                    const std::function<bool(lettore_voci&)>& lettura) {
  try {
    std::string dati;
    const std::string nome = file.filename().string();
    try {
      file_in_lettura sorgente(file);
      // Said before a byte is read: memory stays bounded whatever the file.
      if (sorgente.dimensione() > byte_massimi_sorgente)
        throw errore_lettura("il file " + nome + " " +
                             sorgente_troppo_grande(sorgente.dimensione()));
      dati = sorgente.leggi_tutto();
    } catch (const errore_file& e) {
      f.riga_errore = 0;
      f.colonna_errore = 0;
      std::error_code ec;
      if (!std::filesystem::exists(file, ec)) throw errore_lettura("manca il file " + nome);
      throw errore_lettura("il file " + nome + " non si legge: " + e.motivo());
    }
    avvisa_se_non_testo(f, nome, dati);
    lettore_voci in(std::move(dati));
    try {
      return lettura(in);
    } catch (const errore_lettura& e) {
      f.riga_errore = e.riga() > 0 ? e.riga() : in.riga_voce();
      f.colonna_errore = e.riga() > 0 ? e.colonna() : in.colonna_voce();
      throw;
    }
  } catch (const errore_lettura& e) {
    f.codice_errore = numero_errore(errore_compilazione::lettura_fallita);
    f.motivo_errore = e.what();
    f.file_errore = file.filename().string();
    elimina_file(f.file_sorgente_linea());
    elimina_file(f.file_sorgente_corsa());
    return false;
  }
}
