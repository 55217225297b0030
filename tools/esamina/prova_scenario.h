// Test fixture: a small scenario filled by hand into a compiler the way the
// compiler leaves its records (stations, boards, signals, speed indicator
// boards, code points, a slowdown, mountain spans, the three profiles, a plan
// with curves, the header codes), and its three files encoded.
#pragma once

#include <string>

#include "compiler/compilatore.h"
#include "compiler/lettura_compilati.h"
#include "testing/compilazione_prova.h"
#include "tools/esamina/descrizione.h"

inline constexpr int32_t lunghezza_di_prova = 20000;

void riempi_scenario_di_prova(compilatore& f);

struct file_di_prova {
  std::string linea, tabella, tracciato;
  contenuti viste() const { return {std::string_view(linea), tabella, tracciato}; }
};
file_di_prova codifica_file(const compilatore& f);

// The fixture read back and described, as the command does it. The plan
// read back lies in `file`, which lives as long as the examination.
struct esame_di_prova {
  compilazione_prova p;
  file_di_prova file;
  scenario_letto s;
  descrizione d;
  esame_di_prova();
  // Encodes the records of p.compilazione again and reads them back.
  void rileggi();
};
