// The four programs run as real processes against files of a size no
// scenario can have and against things that are not files at all, where one
// of the five files of a scenario should be. Each case must end at once,
// with its status and a message naming the file: a huge file must not be read
// (the test writes nothing real: the files are sparse), and a pipe or a
// device must not be waited on or read for ever.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "sistema/fine_programma.h"
#include "testing/processo_prova.h"
#include "testing/prova_piattaforma.h"
#include "testing/variabile_ambiente.h"

namespace fs = std::filesystem;

namespace {

enum class programma { genera, compila, esamina, decompila };
enum class ruolo { sorgente_linea, sorgente_corsa, linea, tabella, tracciato };
enum class cosa {
  enorme,       // a regular file far larger than any scenario's
  pipe,         // a named pipe: a reader waits for a writer, a writer for a reader
  dispositivo,  // a link to a device that gives bytes for ever
};

// The carried scenario's names, since genera_scenario writes no other.
const std::string nome = "Ombrasca1", treno = "5817";

std::string file_di(ruolo r) {
  switch (r) {
    case ruolo::sorgente_linea:
      return nome + "_linea.txt";
    case ruolo::sorgente_corsa:
      return nome + "_" + treno + "-.txt";
    case ruolo::linea:
      return nome + "_linea.dat";
    case ruolo::tabella:
      return nome + "_" + treno + ".sim";
    case ruolo::tracciato:
      return nome + "_" + treno + ".dat";
  }
  return {};
}

bool sorgente(ruolo r) { return r == ruolo::sorgente_linea || r == ruolo::sorgente_corsa; }

// What each program does with each file: reads it, writes it, or leaves it.
bool legge(programma p, ruolo r) {
  switch (p) {
    case programma::genera:
      return false;  // only the sources it has just written
    case programma::compila:
      return sorgente(r);
    case programma::esamina:
    case programma::decompila:
      return !sorgente(r);
  }
  return false;
}
bool scrive(programma p, ruolo r) {
  switch (p) {
    case programma::genera:
      return true;
    case programma::compila:
      return !sorgente(r);
    case programma::esamina:
      return false;
    case programma::decompila:
      return sorgente(r);
  }
  return false;
}

// 5 GB: past any limit, and past what 32 bits count.
constexpr uintmax_t byte_enorme = 5'000'000'000;

// A folder with a sound scenario in it: both sources and the three files
// compiled from them. genera_scenario sits in it too (it writes beside itself).
struct scenario_in_cartella {
  cartella_temporanea c;

  explicit scenario_in_cartella(programma p) {
    scrivi_testo(c / file_di(ruolo::sorgente_linea),
                 sorgente_linea(2000, {"pendenza,   0,    3", "curvad4,  500,  300"}));
    scrivi_testo(c / file_di(ruolo::sorgente_corsa),
                 sorgente_corsa({"velocita,       0,    80",
                                 "stazione,    1000, 24,  400,  0, 0, 0,  0,0,0,  0,0,0,    0,   "
                                 "6, 0, 0, PRIMA"}));
    const esito_processo e = esegui_processo(COMPILA_SCENARIO_EXE, argomenti(programma::compila));
    if (e.stato != stato_uscita::successo) throw std::runtime_error("base: " + e.errori);
    if (p == programma::genera) {
      std::error_code ec;
      fs::create_hard_link(GENERA_SCENARIO_EXE, eseguibile(p), ec);
      if (ec) fs::copy_file(GENERA_SCENARIO_EXE, eseguibile(p));
    }
  }

  fs::path eseguibile(programma p) const {
    switch (p) {
      case programma::genera:
        return c.percorso() / fs::path(GENERA_SCENARIO_EXE).filename();
      case programma::compila:
        return COMPILA_SCENARIO_EXE;
      case programma::esamina:
        return ESAMINA_SCENARIO_EXE;
      case programma::decompila:
        return DECOMPILA_SCENARIO_EXE;
    }
    return {};
  }
  std::vector<std::string> argomenti(programma p) const {
    std::vector<std::string> a;
    if (p == programma::genera) return a;
    if (p == programma::decompila) a.push_back("--sovrascrivi");
    a.insert(a.end(), {c.percorso().string(), nome, treno});
    return a;
  }

  // False where the system cannot make it (the reason in `perche`).
  bool sostituisci(ruolo r, cosa x, std::string& perche) const {
    const fs::path f = c / file_di(r);
    switch (x) {
      case cosa::enorme:
        // Only the size: no byte is written, the disk holds nothing more.
        fs::resize_file(f, byte_enorme);
        return true;
      case cosa::pipe:
#ifdef _WIN32
        perche = "una pipe con nome non sta in una cartella su Windows";
        return false;
#else
        fs::remove(f);
        if (::mkfifo(f.c_str(), 0600) != 0) {
          perche = "mkfifo non riesce qui";
          return false;
        }
        return true;
#endif
      case cosa::dispositivo:
#ifdef _WIN32
        perche = "un collegamento simbolico chiede un privilegio su Windows";
        return false;
#else
        fs::remove(f);
        fs::create_symlink("/dev/zero", f);
        return true;
#endif
    }
    return false;
  }
};

const char* nome_di(programma p) {
  static const char* const nomi[] = {"genera_scenario", "compila_scenario", "esamina_scenario",
                                     "decompila_scenario"};
  return nomi[static_cast<int>(p)];
}

}  // namespace

// Every program, every file, every kind of wrong file. What is expected:
// - a file that is read and cannot be right is refused before it is read:
//   for its size (the message gives it), or for not being a file (the
//   message says so), with the status of a damaged file of that program
//   (esamina and decompila 1; compila's unreadable source 3 for the line,
//   which leaves no track, and 1 for the run; 4 for what is not a file);
// - a file that is written must be a file, or nothing is written over it
//   (status 4); a huge file that is only replaced is no problem;
// - a file the program does not touch changes nothing.
TEST(FileSbagliati, OgniProgrammaRispondeSubitoANominaIlFile) {
  // As from a console: on a desktop a failed write would wait in a box for a click.
  const variabile_ambiente senza_schermo("DISPLAY", std::nullopt);
  using namespace std::chrono;
  for (const programma p :
       {programma::genera, programma::compila, programma::esamina, programma::decompila}) {
    for (const ruolo r : {ruolo::sorgente_linea, ruolo::sorgente_corsa, ruolo::linea,
                          ruolo::tabella, ruolo::tracciato}) {
      for (const cosa x : {cosa::enorme, cosa::pipe, cosa::dispositivo}) {
        const std::string file = file_di(r);
        SCOPED_TRACE(std::string(nome_di(p)) + ", " + file + ", " +
                     (x == cosa::enorme ? "enorme"
                      : x == cosa::pipe ? "pipe"
                                        : "dispositivo"));
        scenario_in_cartella s(p);
        std::string perche;
        if (!s.sostituisci(r, x, perche)) {
          std::cout << nome_di(p) << ", " << file << ": caso saltato: " << perche << "\n";
          continue;
        }
        const auto inizio = steady_clock::now();
        const esito_processo e =
            processo_avviato(s.eseguibile(p), s.argomenti(p)).attendi_entro(seconds(8));
        const auto durata = duration_cast<milliseconds>(steady_clock::now() - inizio);
        ASSERT_FALSE(e.scaduto) << "non finisce: ucciso dopo " << durata.count() << " ms";
        ASSERT_TRUE(e.uscito) << "segnale " << e.segnale << "\n" << e.errori;

        int stato = stato_uscita::successo;
        std::string motivo;
        if (x == cosa::enorme && legge(p, r)) {
          stato = p != programma::compila      ? 1
                  : r == ruolo::sorgente_linea ? stato_uscita::fermato
                                               : stato_uscita::errori_compilazione;
          motivo = "ha " + std::to_string(byte_enorme) + " byte";
        } else if (x != cosa::enorme && legge(p, r)) {
          stato = p == programma::compila ? stato_uscita::errore_file : 1;
          motivo = "non è un file normale";
        } else if (x != cosa::enorme && scrive(p, r)) {
          stato = stato_uscita::errore_file;
          motivo = "non è un file normale";
        }
        EXPECT_EQ(e.stato, stato) << e.errori;
        if (!motivo.empty()) {
          // On the line that names the file.
          const size_t dove = e.errori.find(motivo);
          ASSERT_NE(dove, std::string::npos) << e.errori;
          const size_t riga = e.errori.rfind('\n', dove) + 1;
          EXPECT_NE(e.errori.substr(riga, dove - riga).find(file), std::string::npos) << e.errori;
        }
      }
    }
  }
}
