#include "tools/compila/compila.h"

#include <charconv>
#include <string_view>
#include <system_error>

#include "app/blocchi.h"
#include "app/file_disco.h"
#include "app/form1.h"
#include "compiler/codici_errore.h"
#include "compiler/lettura_sorgente.h"
#include "tools/argomenti.h"

namespace fs = std::filesystem;

namespace {

constexpr std::string_view nome_comando = "compila_scenario: ";

const char* const uso =
    "uso: compila_scenario [--senza-linea] [--rigoroso] CARTELLA NOME TRENO\n"
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
    "Con --senza-linea il file NOME_linea.dat non viene scritto ne' toccato.\n"
    "\n"
    "Un errore e' una riga \"Errore n. C (posizione P m): TESTO\" e, se viene da\n"
    "una riga di un sorgente, una seconda riga \"FILE:RIGA:COLONNA: errore n. C:\n"
    "TESTO\" che punta alla voce sbagliata. Le righe prese per buone ma forse non\n"
    "come voleva l'autore (una parola chiave scritta male, un numero illeggibile\n"
    "che vale 0, righe fuori ordine, ...) danno un avviso \"FILE:RIGA:COLONNA:\n"
    "avviso: TESTO\"; gli avvisi non cambiano i file compilati ne' l'esito.\n"
    "Con --rigoroso gli avvisi contano come errori: i file compilati sono scritti\n"
    "lo stesso, ma l'esito e' 1.\n"
    "\n"
    "Esito: 0 compilato; 1 compilato, ma il compilatore ha trovato un errore (o,\n"
    "con --rigoroso, un avviso); 2 argomenti sbagliati; 3 nessun file scritto;\n"
    "4 un file non si legge o non si scrive.\n";

// The platform of the compiler while it runs: its folder is the private copy.
class piattaforma_cartella final : public piattaforma {
 public:
  piattaforma_cartella(fs::path cartella, std::ostream& errori)
      : cartella_(std::move(cartella)), errori_(errori) {}
  fs::path cartella_programma() override { return cartella_; }
  void mostra_attesa() override {}
  void chiudi_attesa() override {}
  // The error stop: " Errore n. " and the number, which says what it means.
  void messaggio_errore(const std::string& testo) override {
    errori_ << "compila_scenario:" << testo;
    int32_t codice = 0;
    const size_t cifre = testo.find_last_not_of("0123456789") + 1;
    std::from_chars(testo.data() + cifre, testo.data() + testo.size(), codice);
    if (!testo_errore(codice).empty()) errori_ << ": " << testo_errore(codice);
    errori_ << '\n';
  }
  // The line of a compiled source with a problem keeps the form that scripts
  // read, "Errore n. C (posizione P m)" at its start; the others name the tool.
  void segnala(const std::string& testo) override {
    if (!testo.starts_with("Errore n. ")) errori_ << nome_comando;
    errori_ << testo << '\n';
  }

 private:
  fs::path cartella_;
  std::ostream& errori_;
};

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

// A compiled file can only replace a file: a folder, a pipe or a device in
// its place is found before any file is moved, so the author's three files
// stay a matching set.
void controlla_destinazione(const fs::path& a) {
  std::error_code ec;
  if (fs::is_directory(a, ec)) throw errore_file(a.string(), "al suo posto c'e' una cartella");
  controlla_file_normale(a);
}

void sposta(const fs::path& da, const fs::path& a) {
  std::error_code ec;
  fs::rename(da, a, ec);
  if (ec) throw errore_file(a.string(), motivo_errore(ec));
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
  for (const std::string& a : argomenti) {
    if (a == "--help" || a == "-h") {
      uscita << uso << '\n' << aiuto;
      return stato_uscita::successo;
    }
  }
  bool senza_linea = false;
  bool rigoroso = false;
  std::vector<std::string> posizionali;
  if (!leggi_argomenti(argomenti, {{"--senza-linea", &senza_linea}, {"--rigoroso", &rigoroso}},
                       posizionali, nome_comando, errori)) {
    errori << uso;
    return stato_uscita::uso;
  }
  const int32_t scrivi_linea = senza_linea ? 0 : 1;
  const fs::path cartella = posizionali[0];
  std::error_code ec;
  if (!fs::is_directory(cartella, ec)) {
    errori << nome_comando << cartella.string() << " non e' una cartella\n";
    return stato_uscita::uso;
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
    piattaforma_cartella piattaforma(privata.percorso(), errori);
    Form1 form(piattaforma);
    form.nome_scenario = posizionali[1];
    form.numero_treno = posizionali[2];
    copia_se_esiste(cartella / form.file_sorgente_linea().filename(), form.file_sorgente_linea());
    copia_se_esiste(cartella / form.file_sorgente_corsa().filename(), form.file_sorgente_corsa());

    const int stato = form.esegui([&] {
      int32_t j = scrivi_linea;
      try {
        form.memorizza_percorso(j);
      } catch (const errore_file& e) {
        // A file of the private copy is named as the author's file it stands for.
        const fs::path f = e.file();
        if (f.parent_path() != privata.percorso()) throw;
        throw errore_file((cartella / f.filename()).string(), e.motivo());
      }
      // The compiled files are complete: only now do they replace the author's.
      for (const fs::path& f : {form.file_linea(), form.file_tabella(), form.file_tracciato()})
        controlla_destinazione(cartella / f.filename());
      // The line file last, as Form1::scrivi_compilati puts it.
      const vecchi_trattenuti vecchi{cartella / form.file_tabella().filename(),
                                     cartella / form.file_tracciato().filename(),
                                     cartella / form.file_linea().filename()};
      sposta(form.file_tabella(), cartella / form.file_tabella().filename());
      sposta(form.file_tracciato(), cartella / form.file_tracciato().filename());
      if (scrivi_linea != 0) sposta(form.file_linea(), cartella / form.file_linea().filename());
      form.termina_compilazione();
    });
    // A problem from a source row, where an editor or a build tool can jump to it.
    const bool da_sorgente =
        stato == stato_uscita::errori_compilazione || stato == stato_uscita::fermato;
    if (da_sorgente && form.codice_errore != 0 && form.riga_errore > 0)
      errori << form.file_errore << ':' << form.riga_errore << ':' << form.colonna_errore
             << ": errore n. " << form.codice_errore << ": " << form.testo_del_errore() << '\n';
    stampa_avvisi(form.avvisi, errori);
    const int64_t avvisi = form.avvisi.totale();
    if (rigoroso && avvisi > 0) {
      errori << nome_comando << avvisi << (avvisi == 1 ? " avviso" : " avvisi")
             << " e --rigoroso: la compilazione non e' riuscita; correggere le righe indicate\n";
      if (stato == stato_uscita::successo) return stato_uscita::errori_compilazione;
    }
    return stato;
  } catch (const errore_file& e) {
    errori << nome_comando << "impossibile scrivere o leggere " << e.file() << ": " << e.motivo()
           << '\n';
    return stato_uscita::errore_file;
  }
}
