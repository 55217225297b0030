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

// The track and the plan run this far past the nominal length of the line.
inline constexpr int32_t coda_percorso = 7000;

// The last cell N of the track of a line of the given length (m): one cell
// per 50 m of the line and its tail, rounded.
inline int32_t ultima_cella_per(int32_t lunghezza) {
  return static_cast<int32_t>(arrotonda((static_cast<double>(lunghezza) + coda_percorso) / 50));
}

// Integer fields keep the low 16 bits, Byte fields the low 8 bits.
inline int16_t basso16(int64_t v) { return static_cast<int16_t>(static_cast<uint16_t>(v)); }
inline uint8_t basso8(int64_t v) { return static_cast<uint8_t>(v); }
