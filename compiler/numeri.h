// Conversions used wherever the compiler turns a value into a field.
#pragma once

#include <cmath>
#include <cstdint>

// Nearest integer, exact halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
// The default floating-point environment rounds this way; nothing in the
// program changes it.
inline double arrotonda(double x) { return std::nearbyint(x); }

// Cell index of a position: position / 50 plus an offset, rounded.
inline int64_t indice_cella(int64_t posizione, int offset) {
  return static_cast<int64_t>(arrotonda(static_cast<double>(posizione) / 50.0 + offset));
}

// Integer fields keep the low 16 bits, Byte fields the low 8 bits.
inline int16_t basso16(int64_t v) { return static_cast<int16_t>(static_cast<uint16_t>(v)); }
inline uint8_t basso8(int64_t v) { return static_cast<uint8_t>(v); }
