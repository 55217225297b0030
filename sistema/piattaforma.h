// The little the program needs from the machine it runs on. Form1 sees only
// this interface, so that tests can run it in a folder of their own and watch
// the error stop without the test process ending, and so that a windowed
// implementation can stand in for the console one.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

class piattaforma {
 public:
  virtual ~piattaforma() = default;

  // The folder that holds the program: every file of a run goes there.
  virtual std::filesystem::path cartella_programma() = 0;

  // The wait window: shown, drawn once before the work starts, gone at the end.
  virtual void mostra_attesa() = 0;
  virtual void chiudi_attesa() = 0;

  // The modal error message of the error stop; returns when it is dismissed.
  virtual void messaggio_errore(const std::string& testo) = 0;

  // A file that could not be written, told in a box where there is a desktop
  // to show it on (a program started by a double click has no console); the
  // text has one line for the file and one for what to do. Returns when it is
  // dismissed. A console has it already, as a line from segnala.
  virtual void messaggio_file(const std::string& testo) { (void)testo; }

  // One diagnostic line for whoever started the program.
  virtual void segnala(const std::string& testo) = 0;
};

// Console implementation: the wait window and the messages go to standard
// error; the program's folder is that of the running executable.
std::unique_ptr<piattaforma> crea_piattaforma_console();

// The folder of the running executable, as the system reports it.
std::filesystem::path cartella_eseguibile();

// Standard output and error take the bytes written to them as they are, with
// no line ends translated: a report or a document redirected to a file is the
// same file on every system. Called first thing by every program.
void flussi_standard_binari();

#ifdef _WIN32
// What a console is given for `byte`, a message: its UTF-8 letters as they
// are, and any other byte as a character of the code page `pagina`, the
// system's, in which Windows hands over a name typed on the command line. A
// line that says "città non è una cartella" holds both.
std::wstring testo_della_console(std::string_view byte, unsigned pagina);
#endif

// The arguments after the program's name, or none when one of them did not
// reach the program as it was typed; then says why on `errori`, after
// `comando` ("compila_scenario: "). Windows hands a program its command line
// in the system's code page, and a character missing there becomes a
// look-alike ("Ωmega" turns into "Omega"): a name that could be another
// folder's or another scenario's.
std::optional<std::vector<std::string>> argomenti_programma(int argc, char** argv,
                                                            std::string_view comando,
                                                            std::ostream& errori);
