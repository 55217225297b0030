#include "compiler/lettura_sorgente.h"

#include <algorithm>
#include <cstddef>
#include <limits>
#include <system_error>
#include <utility>

#include "compiler/codici_errore.h"
#include "sistema/file_disco.h"
#include "sistema/fine_programma.h"

namespace {

// Whether an item holds a ';' outside quotes: a separator some editors and
// spreadsheets write, which this file does not know.
bool con_punto_e_virgola(std::string_view v) {
  return v.find(';') != std::string_view::npos && !v.starts_with('"');
}

// Where a tab stands between two digits on a line: the number is read as
// two. The column from 1, or 0.
int32_t tabulazione_in_un_numero(std::string_view linea) {
  const auto cifra = [](char c) { return c >= '0' && c <= '9'; };
  for (size_t i = 1; i < linea.size(); ++i) {
    if (!cifra(linea[i - 1])) continue;
    size_t j = i;
    bool tab = false;
    while (j < linea.size() && (linea[j] == ' ' || linea[j] == '\t')) tab |= linea[j++] == '\t';
    if (tab && j < linea.size() && cifra(linea[j])) return static_cast<int32_t>(i + 1);
  }
  return 0;
}

}  // namespace

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
               " contiene un trattino, e la riga è saltata come un commento; un commento "
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
  } else if (riga_prima_.riga_seguito == capo_.riga && riga_prima_.riga != capo_.riga) {
    // What is left of a line whose start the row before took.
    avvisa(tipo_avviso::voce_in_piu, capo_,
           citazione(r) + " è in più: la riga " + std::to_string(riga_prima_.riga) +
               " ha preso l'inizio di questa riga come suoi valori; correggere la riga " +
               std::to_string(riga_prima_.riga));
  } else if (capo_.riga == riga_testo_) {
    avvisa(tipo_avviso::testo_spezzato, capo_,
           citazione(r) + " è in più in fondo alla riga: se è il seguito del testo " +
               citazione(testo_in_fondo_) +
               ", la virgola lo ha spezzato; scrivere il testo intero tra virgolette, come "
               "\"A, B\"");
  } else {
    const int32_t tab =
        riga_prima_.riga == capo_.riga ? tabulazione_in_un_numero(in_.linea(riga_prima_)) : 0;
    avvisa(tipo_avviso::voce_in_piu, capo_,
           tab > 0 ? citazione(r) +
                         " è in più in fondo alla riga: una tabulazione tra due cifre, alla "
                         "colonna " +
                         std::to_string(tab) +
                         ", separa due numeri; se il numero è uno, toglierla; se sono due, "
                         "separarli con una virgola"
                   : citazione(r) +
                         " è in più in fondo alla riga, dopo i valori che la riga legge, ed è "
                         "ignorato: toglierlo, o controllare i valori prima");
  }
}

std::string lettura_sorgente::riga_continuata(const lettore_voci::riga_letta& r) {
  const int32_t mancanti = r.valori - r.sulla_riga;
  std::string t = "la riga " + citazione(r.capo) + " finisce dopo " + std::to_string(r.sulla_riga) +
                  " dei suoi " + std::to_string(r.valori) +
                  " valori: il resto è preso dalla riga " + std::to_string(r.riga_seguito) + " (" +
                  citazione(r.seguito) + "): ";
  if (con_punto_e_virgola(r.capo))
    return t + "le voci sono separate da ';', che non è un separatore: separarle con virgole";
  return t + (mancanti == 1 ? "aggiungere il valore mancante" : "aggiungere i valori mancanti") +
         ", o scrivere la riga intera su una riga sola";
}

void lettura_sorgente::riga_finita() {
  const lettore_voci::riga_letta& r = in_.riga_corrente();
  if (r.riga_seguito == 0 || r.riga == riga_continuata_ || r.riga == riga_saltata_) return;
  riga_continuata_ = r.riga;
  // Said once the row is over, after what its values said on later lines:
  // the list puts it back in line order.
  f_.avvisi.aggiungi(
      {nome_file_, r.riga, r.colonna, riga_continuata(r), tipo_avviso::riga_continuata});
}

void lettura_sorgente::numero_letto_come_zero(std::string_view voce) {
  if (voce.empty()) {
    if (!vuote_ammesse_)
      avvisa(tipo_avviso::numero_vuoto, qui(), "manca un valore: vale 0; scrivere 0 se è voluto");
    return;
  }
  if (parole_ammesse_ && voce.find_first_of("0123456789") == std::string_view::npos) return;
  avvisa(tipo_avviso::numero_illeggibile, qui(),
         citazione(voce) + (con_punto_e_virgola(voce)
                                ? " non è un numero e vale 0: ';' non separa le voci; separarle "
                                  "con virgole"
                                : " non è un numero e vale 0: correggere il valore"));
}

void lettura_sorgente::avvisa_ordine(const ordine_righe& ordine, int32_t p, int64_t c) {
  const std::string riga =
      "la riga di " + std::string(ordine.nome) + " a " + std::to_string(p) + " m";
  const std::string prima = std::to_string(ordine.posizione) + " m";
  avvisa(tipo_avviso::fuori_ordine, colpa_,
         c == ordine.cella
             ? riga + " cade nella stessa cella di 50 m della precedente, a " + prima +
                   ": una cella ha un valore solo, e una delle due righe non vale dove è "
                   "scritta; tenere una riga per cella"
             : riga + " viene dopo quella a " + prima + ": le righe di " + ordine.nome +
                   " vanno in ordine di posizione crescente");
}

std::string sorgente_troppo_grande(uint64_t byte) {
  return "ha " + std::to_string(byte) + " byte, più dei " + std::to_string(byte_massimi_sorgente) +
         " che può avere il sorgente di uno scenario: non è il file giusto, o è danneggiato";
}

namespace {

// Where byte `pos` of a source lies, its line counted as the item reader
// ends lines: CR LF, a lone LF or a lone CR.
std::pair<int32_t, int32_t> luogo_nel_file(std::string_view dati, size_t pos) {
  const size_t inizio_riga =
      pos == 0 ? 0 : dati.find_last_of("\r\n", pos - 1) + 1;  // npos + 1 is 0
  int64_t riga = 1;
  for (size_t i = 0; i < inizio_riga; ++i)
    if (dati[i] == '\n' || (dati[i] == '\r' && (i + 1 >= dati.size() || dati[i + 1] != '\n')))
      ++riga;
  constexpr int64_t massimo = std::numeric_limits<int32_t>::max();
  return {static_cast<int32_t>(std::min(riga, massimo)),
          static_cast<int32_t>(
              std::min<int64_t>(static_cast<int64_t>(pos - inizio_riga) + 1, massimo))};
}

// The first letter written in UTF-8, as an editor set to UTF-8 saves an
// accented letter: a lead byte and the continuation bytes it calls for.
// Windows-1252 text has them only where a capital A with a tilde or a
// circumflex comes right before a symbol, which no Italian word does.
size_t primo_utf8(std::string_view dati) {
  const auto seguito = [&](size_t i) {
    return i < dati.size() && (static_cast<unsigned char>(dati[i]) & 0xC0) == 0x80;
  };
  for (size_t i = 0; i < dati.size(); ++i) {
    const auto c = static_cast<unsigned char>(dati[i]);
    const size_t altri = c >= 0xC2 && c <= 0xDF   ? 1
                         : c >= 0xE0 && c <= 0xEF ? 2
                         : c >= 0xF0 && c <= 0xF4 ? 3
                                                  : 0;
    if (altri == 0) continue;
    bool tutti = true;
    for (size_t k = 1; k <= altri; ++k) tutti = tutti && seguito(i + k);
    if (tutti) return i;
  }
  return std::string_view::npos;
}

// A source is Windows-1252 text. A NUL byte, which no editor writes in a
// text, reads as part of an item and may hide the rows around it, though the
// compiled bytes come out as ever; a file with nothing but blanks and NULs
// is said to hold no text at all. Letters saved in UTF-8 reach the compiled
// files as two or three other letters each. Each is said once per file,
// where the first one lies.
void avvisa_se_non_testo(compilatore& f, const std::string& nome, std::string_view dati) {
  if (const size_t nul = dati.find('\0'); nul != dati.npos) {
    const bool senza_testo = dati.find_first_not_of(std::string_view(" \t\r\n\0", 5)) == dati.npos;
    const auto [riga, colonna] = luogo_nel_file(dati, nul);
    f.avvisi.aggiungi(
        {nome, riga, colonna,
         senza_testo ? "il file non contiene testo, solo byte NUL e spazi: non è un sorgente; "
                       "forse è il file sbagliato o è danneggiato"
                     : "il file contiene byte NUL, che un sorgente di testo non ha: forse è "
                       "danneggiato; togliere i byte NUL con un editor",
         tipo_avviso::byte_nul});
  }
  if (const size_t u = primo_utf8(dati); u != dati.npos) {
    const auto [riga, colonna] = luogo_nel_file(dati, u);
    f.avvisi.aggiungi({nome, riga, colonna,
                       "il file sembra salvato in UTF-8, e le sue lettere accentate diventano "
                       "altre lettere: salvarlo in Windows-1252",
                       tipo_avviso::testo_utf8});
  }
}

}  // namespace

bool leggi_sorgente(compilatore& f, const std::filesystem::path& file,
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
      f.problema.riga = 0;
      f.problema.colonna = 0;
      std::error_code ec;
      if (!std::filesystem::exists(file, ec)) throw errore_lettura("manca il file " + nome);
      throw errore_lettura("il file " + nome + " non si legge: " + e.motivo());
    }
    avvisa_se_non_testo(f, nome, dati);
    lettore_voci in(std::move(dati));
    try {
      return lettura(in);
    } catch (const errore_lettura& e) {
      // A row that ran on past its line is at fault where it begins.
      const lettore_voci::riga_letta& r = in.riga_corrente();
      const bool continuata = r.riga_seguito != 0;
      f.problema.riga = e.riga() > 0 ? e.riga() : continuata ? r.riga : in.riga_voce();
      f.problema.colonna = e.riga() > 0 ? e.colonna() : continuata ? r.colonna : in.colonna_voce();
      const auto detta = [&](const avviso& a) {
        return a.tipo == tipo_avviso::riga_continuata && a.file == nome && a.riga == r.riga;
      };
      if (continuata && std::none_of(f.avvisi.tenuti().begin(), f.avvisi.tenuti().end(), detta))
        f.avvisi.aggiungi({nome, r.riga, r.colonna, lettura_sorgente::riga_continuata(r),
                           tipo_avviso::riga_continuata});
      throw;
    }
  } catch (const errore_lettura& e) {
    f.problema.codice = numero_errore(errore_compilazione::lettura_fallita);
    f.problema.motivo = e.what();
    f.problema.file = file.filename().string();
    elimina_file(f.file_sorgente_linea());
    elimina_file(f.file_sorgente_corsa());
    return false;
  }
}
