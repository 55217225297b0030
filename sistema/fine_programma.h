// How a run ends. Every end of the program, the normal one included, travels
// as a fine_programma up to Form1::avvia, which turns it into the exit status;
// so the error stop ends the run at once, yet a test can observe it.
#pragma once

#include <stdexcept>
#include <string>

namespace stato_uscita {
inline constexpr int successo = 0;
inline constexpr int errori_compilazione = 1;  // compiled, codice_errore not 0
inline constexpr int uso = 2;                  // wrong arguments (tools)
inline constexpr int fermato = 3;              // stopped before any compiled file was touched
inline constexpr int errore_file = 4;          // a file could not be read or written
}  // namespace stato_uscita

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
