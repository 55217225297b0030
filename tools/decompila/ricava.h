// The two sources of a scenario, rebuilt from its compiled files alone: the
// rows that, compiled again, give the same bytes. The compiler keeps no trace
// of the rows themselves, so each part is recovered from what it leaves in
// the records: a value in force from the cells where it changes, a curve from
// the plan's steps, a code point from what the post-pass could not have put.
#pragma once

#include <string>
#include <vector>

#include "compiler/lettura_compilati.h"

struct sorgenti_ricavate {
  std::string linea;  // NAME_linea.txt (empty without the line file)
  std::string corsa;  // NAME_TRAIN-.txt
  // Parts seen at once not to come from any source; the rest is found by
  // compiling the sources again (confronta_compilati).
  std::vector<problema> problemi;
};

// With con_linea false the line file is neither read nor needed, and the
// line source has no curve.
sorgenti_ricavate ricava_sorgenti(const scenario_letto& s, bool con_linea);

// One problem for a compiled file that differs from the one expected: the
// first byte that differs, or the sizes.
std::vector<problema> confronta_compilati(const std::string& file, std::string_view atteso,
                                          std::string_view ottenuto);
