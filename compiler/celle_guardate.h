// Guarded access to the track cells for the storers: an index that a source
// row can steer never reaches outside celle, and a cell that does not exist
// is never free, so a placement there is refused like one on a taken cell.
#pragma once

#include <cstdint>

#include "compiler/compilatore.h"

// The cell at index i, or nullptr when i lies outside 0..ultima_cella.
inline cella* cella_esistente(compilatore& f, int64_t i) {
  if (i < 0 || i > f.ultima_cella || i >= static_cast<int64_t>(f.celle.size())) return nullptr;
  return &f.celle[static_cast<size_t>(i)];
}

// The cell at index i when it exists and is free (kind 0 or 11), else nullptr.
inline cella* cella_libera(compilatore& f, int64_t i) {
  cella* c = cella_esistente(f, i);
  return c != nullptr && libera(*c) ? c : nullptr;
}
