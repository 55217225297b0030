// The railway's kilometres: where a place along the run (metres from its
// start) stands on the kilometre posts of the lines that the run uses, as the
// train sheet's progressive column reads it.
//
// The line source gives three progressive segments, each a start along the
// run, a value and a code. The value is the kilometre that the segment's line
// would read at the start of the run: with code 1 the posts fall along the
// run (the kilometre is the value less the position), with any other code
// they grow (the value plus the position). The carried scenario has only
// code 1, and its train sheet bears that reading out; no scenario yet shows a
// growing line.
//
// Empty segments (all zero) are left out unless all three are: then the
// kilometre is the distance from the start. A segment governs from one cell
// (50 m) before its start, where its line
// takes over from the one before: the carried run's Lucignasco-Valdorsa, at
// 39 050 m, reads km 96.100 on the segment that starts at 39 100 m.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "compiler/record.h"

// progressive_ordina stores a code-1 segment's value this much higher than
// the source gives it: the simulator counts such a line 100 m further on.
inline constexpr int32_t scarto_codice_uno = 100;

// One of the three segments, with its value as the author wrote it.
struct segmento_chilometrico {
  int voce = 0;             // table entry, 81 to 83
  int32_t inizio = 0;       // start along the run, m
  int64_t valore = 0;       // as written in the line source, m
  int32_t memorizzato = 0;  // as the table holds it, m
  int32_t codice = 0;
  bool in_uso = false;  // false when empty or another entry has the same start
  int verso() const { return codice == 1 ? -1 : 1; }
  // All zero, as the compiler leaves a segment the source does not give.
  bool vuoto() const { return inizio == 0 && memorizzato == 0 && codice == 0; }
};

// A stretch of the run over which the kilometre moves one metre per metre.
struct tratto_chilometrico {
  int64_t da_m = 0;  // first place along the run it governs; the first also all before it
  int64_t km_m = 0;  // the railway kilometre there, m
  int verso = 1;     // -1: the kilometres fall along the run; +1: they grow
  int voce = 0;      // the segment's table entry
};

class chilometri_linea {
 public:
  // From the table's entries 81 to 83 as the compiler stores them.
  explicit chilometri_linea(const std::array<voce_corsa, voci_tabella_corsa>& tabella);

  // The railway kilometre, in metres, of a place along the run.
  int64_t chilometro(int64_t posizione) const;

  // Entries 81, 82, 83, in that order.
  const std::array<segmento_chilometrico, 3>& segmenti() const { return segmenti_; }
  // The stretches in order along the run, at least one.
  const std::vector<tratto_chilometrico>& tratti() const { return tratti_; }

 private:
  std::array<segmento_chilometrico, 3> segmenti_;
  std::vector<tratto_chilometrico> tratti_;
};
