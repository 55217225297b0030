// Helpers for the tests that run real windows: a virtual display of their
// own, child processes on it, and a look at what is on its screen.
#pragma once

// Before the X11 headers, whose macros (None, Bool) GoogleTest would trip on.
#include "testing/schermata.h"

#include <X11/Xlib.h>
#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>


// A program on PATH, if there is one.
std::optional<std::filesystem::path> trova_programma(const std::string& nome);

// A child process on a given display, with its standard input and output on
// pipes and its standard error kept. Killed if still running at the end.
class processo {
 public:
  processo(const std::vector<std::string>& argomenti, const std::string& display);
  ~processo();
  processo(const processo&) = delete;
  processo& operator=(const processo&) = delete;

  // The next line of standard output, without its end; none by the limit.
  std::optional<std::string> leggi_riga(std::chrono::milliseconds limite);
  void chiudi_ingresso();
  // The exit status (128 + signal when killed); none if still running by the limit.
  std::optional<int> attendi(std::chrono::milliseconds limite);
  // Standard error, all of it, once the process has ended.
  std::string errori();

 private:
  pid_t pid_ = -1;
  int ingresso_ = -1;
  int uscita_ = -1;
  int errore_ = -1;
  std::optional<int> stato_;
  std::string letto_;
};

// Runs a command on the display to its end; its exit status.
int esegui(const std::vector<std::string>& argomenti, const std::string& display);

// An Xvfb server on a free display number, stopped at the end.
class schermo_virtuale {
 public:
  schermo_virtuale();
  ~schermo_virtuale();
  schermo_virtuale(const schermo_virtuale&) = delete;
  schermo_virtuale& operator=(const schermo_virtuale&) = delete;

  bool pronto() const { return !nome_.empty(); }
  const std::string& nome() const { return nome_; }  // as DISPLAY wants it, ":N"

 private:
  pid_t pid_ = -1;
  std::string nome_;
};

// The top-level window with that title, waiting up to the limit for it.
std::optional<Window> cerca_finestra(Display* d, const std::string& titolo,
                                     std::chrono::milliseconds limite);

schermata fotografa(Display* d, Window finestra);
