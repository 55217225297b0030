#include "tools/compila/compila.h"

#include <algorithm>
#include <map>
#include <set>
#include <sstream>
#include <string_view>
#include <system_error>

#include "compiler/codici_errore.h"
#include "compiler/compilatore.h"
#include "compiler/lettura_sorgente.h"
#include "compiler/nomi_scenario.h"
#include "sistema/argomenti.h"
#include "sistema/blocchi.h"
#include "sistema/file_disco.h"
#include "sistema/fine_programma.h"
#include "tools/compila/modello.h"

namespace fs = std::filesystem;

namespace {

constexpr std::string_view nome_comando = "compila_scenario: ";

const char* const uso =
    "uso: compila_scenario [--senza-linea] [--rigoroso] [--scrivi-con-errori] CARTELLA NOME TRENO\n"
    "     compila_scenario --modello CARTELLA NOME TRENO\n"
    "     compila_scenario --help\n";

const char* const aiuto =
    "compila_scenario compila i due file sorgente di uno scenario scritti o\n"
    "corretti a mano:\n"
    "  CARTELLA/NOME_linea.txt     la linea\n"
    "  CARTELLA/NOME_TRENO-.txt    la corsa del treno\n"
    "e scrive nella stessa CARTELLA i file che il simulatore carica:\n"
    "  NOME_linea.dat              il tracciato della linea, metro per metro\n"
    "  NOME_TRENO.sim              stazioni, testi dei cartelli, valori generali\n"
    "  NOME_TRENO.dat              una cella ogni 50 m di linea\n"
    "\n"
    "I file sorgente restano come sono: il compilatore ne legge una copia.\n"
    "Con --senza-linea il file NOME_linea.dat non viene scritto né toccato.\n"
    "\n"
    "Un errore è una riga \"Errore n. C (posizione P m): TESTO\" e, se viene da\n"
    "una riga di un sorgente, una seconda riga \"FILE:RIGA:COLONNA: errore n. C:\n"
    "TESTO\" che punta alla voce sbagliata. Le righe prese per buone ma forse non\n"
    "come voleva l'autore (una parola chiave scritta male, un numero illeggibile\n"
    "che vale 0, righe fuori ordine, ...) danno un avviso \"FILE:RIGA:COLONNA:\n"
    "avviso: TESTO\"; gli avvisi non cambiano i file compilati né l'esito.\n"
    "Con --rigoroso gli avvisi contano come errori.\n"
    "\n"
    "Con un errore nei sorgenti (o, con --rigoroso, un avviso) i file compilati\n"
    "che c'erano restano come sono e non ne viene scritto nessuno nuovo: si\n"
    "corregge e si ricompila. Con --scrivi-con-errori vengono scritti lo stesso,\n"
    "da quanto il compilatore ha letto.\n"
    "\n"
    "Con --modello non compila niente: scrive nella CARTELLA (creata se manca) i\n"
    "due sorgenti di un piccolo scenario commentato da cui partire (se nessuno\n"
    "dei due c'è già): si modificano, poi si compilano. Le righe e i loro valori\n"
    "sono spiegati in docs/sorgenti.md.\n"
    "\n"
    "Un errore nei sorgenti (o, con --rigoroso, un avviso) dà l'esito 1; se\n"
    "nella CARTELLA non c'è nessuno dei due sorgenti, l'esito è 5.\n";

// The compiler deletes the sources it has read, so it reads them under names
// of its own. A second name for the same file costs one step where a copy
// costs several; removing it leaves the author's name in place, and the
// compiler only ever reads and deletes its sources, never writes them. A
// symbolic link is copied instead (a relative one would point elsewhere from
// the private folder), as is a file on a disk that has no second names.
void copia_se_esiste(const fs::path& da, const fs::path& a) {
  std::error_code ec;
  if (!fs::exists(da, ec)) return;
  controlla_file_normale(da);  // a pipe would be copied, or read, for ever
  if (fs::is_regular_file(fs::symlink_status(da, ec))) {
    fs::create_hard_link(da, a, ec);
    if (!ec) return;
  }
  // A copy of a file too large to be read would only fill the disk.
  const uintmax_t byte = fs::file_size(da, ec);
  if (!ec && byte > byte_massimi_sorgente)
    throw errore_file(da.string(), sorgente_troppo_grande(byte));
  if (!fs::copy_file(da, a, ec)) throw errore_file(da.string(), motivo_errore(ec));
}

// An error of a source row, where an editor or a build tool can jump to it.
std::string riga_di_errore(const problema_trovato& p) {
  return p.file + ':' + std::to_string(p.riga) + ':' + std::to_string(p.colonna) + ": errore n. " +
         std::to_string(p.codice) + ": " + p.testo();
}

// The text with line `riga` (counted from 1 as the reader counts: CR LF, CR
// or LF ends a line) left empty, its line end kept, so that every other line
// keeps its number.
std::string senza_riga(std::string_view testo, int32_t riga) {
  size_t inizio = 0;
  for (int32_t n = 1; n < riga && inizio < testo.size(); ++n) {
    inizio = testo.find_first_of("\r\n", inizio);
    if (inizio == std::string_view::npos) return std::string(testo);
    inizio += testo.compare(inizio, 2, "\r\n") == 0 ? 2 : 1;
  }
  const size_t fine = std::min(testo.find_first_of("\r\n", inizio), testo.size());
  return std::string(testo.substr(0, inizio)).append(testo.substr(fine));
}

constexpr size_t errori_seguenti_massimi = 20;

// The errors after the first, which stops the reading: the sources compiled
// again, each time without the row at fault, until they compile, an error
// names no row or one already seen, none is left to compile, or
// errori_seguenti_massimi more are found.
// Nothing is written but in a private folder; what those compilations say is
// not shown.
std::vector<std::string> errori_seguenti(const fs::path& cartella, const compilatore& prima,
                                         int32_t scrivi_linea) {
  std::map<std::string, std::string> testi;  // by file name
  for (const fs::path& f : {prima.file_sorgente_linea(), prima.file_sorgente_corsa()}) {
    const std::string nome = f.filename().string();
    try {
      if (fs::exists(cartella / nome)) testi[nome] = leggi_file(cartella / nome);
    } catch (const errore_file&) {
      return {};
    }
  }
  std::set<std::pair<std::string, int32_t>> viste{{prima.problema.file, prima.problema.riga}};
  std::string file = prima.problema.file;
  int32_t riga = prima.problema.riga;
  std::vector<std::string> trovati;
  // A disk that fails here costs only the errors not yet found.
  try {
    cartella_privata privata(cartella);
    std::ostringstream muto;
    while (trovati.size() < errori_seguenti_massimi) {
      const auto t = testi.find(file);
      if (t == testi.end()) break;
      t->second = senza_riga(t->second, riga);
      for (const auto& [nome, testo] : testi) sostituisci_file(privata.percorso() / nome, testo);
      compilatore c;
      c.nome_scenario = prima.nome_scenario;
      c.numero_treno = prima.numero_treno;
      c.cartella = privata.percorso();
      c.quando_sostituire = compilatore::sostituzione::mai;
      const int stato = compila_e_riferisci(c, scrivi_linea, muto);
      // With no track left to compile, what follows is the row's absence.
      if (stato != stato_uscita::errori_compilazione || c.problema.riga <= 0) break;
      if (!viste.insert({c.problema.file, c.problema.riga}).second) break;
      trovati.push_back(riga_di_errore(c.problema));
      file = c.problema.file;
      riga = c.problema.riga;
    }
  } catch (const errore_file&) {
  }
  return trovati;
}

// The warnings, each where an editor can jump to it, then for a file with a
// great many how many more there were.
void stampa_avvisi(const elenco_avvisi& avvisi, std::ostream& errori) {
  for (const avviso& a : avvisi.tenuti())
    errori << a.file << ':' << a.riga << ':' << a.colonna << ": avviso: " << a.testo << '\n';
  for (const auto& [file, quanti] : avvisi.oltre())
    errori << file << ": avviso: altri " << quanti << " avvisi non mostrati\n";
}

}  // namespace

int compila_scenario(const std::vector<std::string>& argomenti, std::ostream& uscita,
                     std::ostream& errori) {
  if (chiede_aiuto(argomenti)) {
    uscita << uso << '\n' << aiuto << '\n' << esito_programmi;
    return stato_uscita::successo;
  }
  bool senza_linea = false;
  bool rigoroso = false;
  bool con_errori = false;
  bool modello = false;
  std::vector<std::string> posizionali;
  if (!leggi_argomenti(argomenti,
                       {{"--senza-linea", &senza_linea},
                        {"--rigoroso", &rigoroso},
                        {"--scrivi-con-errori", &con_errori},
                        {"--modello", &modello}},
                       posizionali, nome_comando, errori))
    return argomenti_sbagliati(uso, nome_comando, errori);
  const int32_t scrivi_linea = senza_linea ? 0 : 1;
  const fs::path cartella = posizionali[0];
  std::error_code ec;
  // The model's folder is made where it is missing, as decompila_scenario's.
  if (modello && !cartella_di_uscita(cartella, nome_comando, errori))
    return stato_uscita::errore_file;
  if (!fs::is_directory(cartella, ec)) {
    errori << nome_comando << cartella.string() << " non è una cartella\n";
    return stato_uscita::uso;
  }
  if (modello) return scrivi_modello(cartella, posizionali[1], posizionali[2], uscita, errori);
  if (nessun_file_da_leggere(cartella, posizionali[1], posizionali[2], true)) {
    const file_scenario f = file_dello_scenario(posizionali[1], posizionali[2]);
    errori << nome_comando << "in " << cartella.string() << " non c'è nessuno dei due sorgenti, "
           << f.sorgente_linea << " e " << f.sorgente_corsa
           << ": controllare la CARTELLA, il NOME e il TRENO, o partire da --modello\n";
    return stato_uscita::niente_da_leggere;
  }

  try {
    // The author's folder is this run's alone until its compiled files are
    // in place, and what killed runs left in it goes first. The private
    // folder sits inside it, so that the compiled files reach their place by
    // a rename on one file system.
    const blocco_cartella blocco(cartella, [&] {
      errori << "in attesa che finisca un'altra compilazione in " << cartella.string() << std::endl;
    });
    pulisci_avanzi(cartella);
    cartella_privata privata(cartella);
    compilatore form;
    form.cartella = privata.percorso();
    form.nome_scenario = posizionali[1];
    form.numero_treno = posizionali[2];
    // Written straight into the author's folder, as one set, and only from
    // sources that compile clean: a mistaken run keeps the author's good set.
    form.cartella_compilati = cartella;
    form.quando_sostituire = con_errori ? compilatore::sostituzione::sempre
                             : rigoroso ? compilatore::sostituzione::senza_avvisi
                                        : compilatore::sostituzione::senza_errori;
    copia_se_esiste(cartella / form.file_sorgente_linea().filename(), form.file_sorgente_linea());
    copia_se_esiste(cartella / form.file_sorgente_corsa().filename(), form.file_sorgente_corsa());

    int stato = stato_uscita::successo;
    try {
      stato = compila_e_riferisci(form, scrivi_linea, errori);
    } catch (const errore_file& e) {
      // A file of the private copy is named as the author's file it stands for.
      const fs::path f = e.file();
      const std::string file =
          f.parent_path() == privata.percorso() ? (cartella / f.filename()).string() : e.file();
      errori << nome_comando << "impossibile scrivere o leggere " << file << ": " << e.motivo()
             << '\n';
      stato = stato_uscita::errore_file;
    }
    // A problem from a source row, where an editor or a build tool can jump to it.
    const bool da_sorgente =
        stato == stato_uscita::errori_compilazione || stato == stato_uscita::fermato;
    if (da_sorgente && form.problema.codice != 0 && form.problema.riga > 0) {
      errori << riga_di_errore(form.problema) << '\n';
      // Then every error that follows, so that one pass shows them all; an
      // error that left no track to compile hides what comes after it.
      const std::vector<std::string> altri = stato == stato_uscita::errori_compilazione
                                                 ? errori_seguenti(cartella, form, scrivi_linea)
                                                 : std::vector<std::string>{};
      for (const std::string& r : altri) errori << r << '\n';
      if (!altri.empty())
        errori << nome_comando << (altri.size() == errori_seguenti_massimi ? "almeno " : "")
               << altri.size() + 1 << " errori nei sorgenti, ciascuno alla sua riga qui sopra\n";
    }
    stampa_avvisi(form.avvisi, errori);
    const int64_t avvisi = form.avvisi.totale();
    const bool avvisi_fatali = rigoroso && avvisi > 0;
    if (avvisi_fatali)
      errori << nome_comando << avvisi << (avvisi == 1 ? " avviso" : " avvisi")
             << " e --rigoroso: la compilazione non è riuscita; correggere le righe indicate\n";
    // Last, what became of the author's compiled files.
    if (stato == stato_uscita::fermato || !form.compilati_da_sostituire())
      errori << nome_comando << "i file compilati non sono stati sostituiti: "
             << (avvisi_fatali && stato == stato_uscita::successo
                     ? "correggere le righe indicate e ricompilare"
                     : "correggere l'errore e ricompilare")
             << '\n';
    if (avvisi_fatali && stato == stato_uscita::successo) return stato_uscita::errori_compilazione;
    return stato;
  } catch (const errore_file& e) {
    errori << nome_comando << "impossibile scrivere o leggere " << e.file() << ": " << e.motivo()
           << '\n';
    return stato_uscita::errore_file;
  }
}
