// Runs a program of the project as a real process, the way a user or a
// script does, optionally with a limit on the size of the files it may write
// (a disk that fills up part-way).
#pragma once

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

struct esito_processo {
  bool uscito = false;   // ended by exit(), not by a signal
  int stato = -1;        // exit status when uscito
  int segnale = 0;       // the signal that ended it otherwise
  std::string errori;    // what it wrote on standard error
  bool scaduto = false;  // killed by attendi_entro, its time up
};

// A program started as a real process, for a test that does something while
// it runs (kills it, starts others beside it). One not waited for is killed
// and waited for when the object goes.
class processo_avviato {
 public:
  processo_avviato(const std::filesystem::path& eseguibile,
                   const std::vector<std::string>& argomenti = {},
                   std::optional<long> limite_file = std::nullopt);
  ~processo_avviato();
  processo_avviato(const processo_avviato&) = delete;
  processo_avviato& operator=(const processo_avviato&) = delete;

  void uccidi();  // SIGKILL (TerminateProcess): no chance to clean up
  // SIGSTOP (the whole process suspended): held still, holding all it holds,
  // from the moment it returns.
  void ferma();
  void riprendi();
  bool finito();  // it has ended (not yet waited for)
  // The first line it writes on standard error, once written; empty if it
  // ends first. Kept as part of what attendi returns.
  std::string prima_riga();
  esito_processo attendi();
  // attendi, but one still running after `limite` is killed first.
  esito_processo attendi_entro(std::chrono::milliseconds limite);

 private:
#ifdef _WIN32
  void* processo_ = nullptr;
  void* tubo_ = nullptr;
  bool ucciso_ = false;
#else
  int pid_ = -1;
  int tubo_ = -1;
#endif
  std::string letti_;
};

// Runs eseguibile with the arguments, standard input closed. With
// limite_file, every file the process writes is capped at that many bytes: a
// write past it fails with EFBIG. On POSIX that is RLIMIT_FSIZE (SIGXFSZ is
// ignored in the child, as it would otherwise kill it); Windows has no such
// limit: there eseguibile must be a test build of a program
// (GENERA_SCENARIO_LIMITABILE_EXE, COMPILA_SCENARIO_LIMITABILE_EXE), whose
// file layer takes the limit from the environment (testing/limite_file_prova.cpp).
esito_processo esegui_processo(const std::filesystem::path& eseguibile,
                               const std::vector<std::string>& argomenti = {},
                               std::optional<long> limite_file = std::nullopt);

// How many kills a kill test makes: `solite`, or PROVE_UCCISIONI for a
// longer run by hand.
inline int uccisioni_di_prova(int solite) {
  const char* v = std::getenv("PROVE_UCCISIONI");
  return v != nullptr && std::atoi(v) > 0 ? std::atoi(v) : solite;
}

// Starts eseguibile and sends it SIGKILL after `ritardo`, unless it has ended
// by then; returns how it ended.
esito_processo esegui_e_uccidi(const std::filesystem::path& eseguibile,
                               const std::vector<std::string>& argomenti,
                               std::chrono::microseconds ritardo);

#ifdef _WIN32
// How a child starts with the standard handles given, which it inherits.
STARTUPINFOW con_flussi(HANDLE ingresso, HANDLE uscita, HANDLE errore);

// One argument of a command line, quoted so that the C runtime of the child
// splits it back as it was.
std::wstring tra_virgolette(const std::wstring& a);

// Runs eseguibile with its standard output and error on a console screen of
// its own, as from a command prompt, and returns what that screen shows once
// it has ended: its rows, each without the blanks after its last character.
std::wstring testo_sulla_console(const std::filesystem::path& eseguibile,
                                 const std::vector<std::string>& argomenti);
#endif

// Files and folders left in a folder whose names contain ".tmp" or start with
// a dot: the traces of a replacement or a run that did not complete.
std::vector<std::string> temporanei_rimasti(const std::filesystem::path& cartella);
