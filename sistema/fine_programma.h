// How a run ends. Every end of the program, the normal one included, travels
// as a fine_programma up to Form1::avvia, which turns it into the exit status;
// so the error stop ends the run at once, yet a test can observe it.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

// The four programs (genera_scenario and the three tools) share one
// convention: these exit statuses, the help text esito_programmi says them
// in, and messages that begin with the program's name and a colon
// ("compila_scenario: testo", lower case after it), or with
// "FILE:RIGA:COLONNA:" when they are about a place in a file.
namespace stato_uscita {
inline constexpr int successo = 0;
inline constexpr int errori_compilazione = 1;  // errors found: in the sources, or in the files read
inline constexpr int uso = 2;                  // wrong arguments, or a CARTELLA that is no folder
inline constexpr int fermato = 3;              // stopped before any compiled file was touched
inline constexpr int errore_file = 4;          // a file could not be read or written
inline constexpr int niente_da_leggere = 5;    // none of the files to read is there
}  // namespace stato_uscita

// The help's last paragraph, the same in every program.
inline constexpr const char* esito_programmi =
    "Esito: 0 riuscito; 1 errori trovati, detti uno per riga sull'errore standard;\n"
    "2 argomenti sbagliati o CARTELLA che non è una cartella; 3 fermato prima di\n"
    "toccare i file compilati; 4 un file non si legge o non si scrive; 5 nessuno\n"
    "dei file da leggere c'è.\n";

// "--help" or "-h" among the arguments: the help, whatever else is there.
inline bool chiede_aiuto(const std::vector<std::string>& argomenti) {
  for (const std::string& a : argomenti)
    if (a == "--help" || a == "-h") return true;
  return false;
}

struct fine_programma {
  int stato;
};

// A file-system failure: names the file and the reason.
class errore_file : public std::runtime_error {
 public:
  errore_file(const std::string& file, const std::string& motivo)
      : std::runtime_error(file + ": " + motivo), file_(file), motivo_(motivo) {}
  const std::string& file() const { return file_; }
  const std::string& motivo() const { return motivo_; }

 private:
  std::string file_;
  std::string motivo_;
};
