// Conversions used wherever the compiler turns a value into a field, and
// each value's reading back where the tools take a field apart: every
// encoding is said once, the compiler's way and the tools' way side by side.
// Reading a field back and encoding what was read gives the field again
// (numeri_test.cpp checks each pair over its whole range).
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

#include "compiler/record.h"

// Nearest integer, exact halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
// The default floating-point environment rounds this way; nothing in the
// program changes it.
inline double arrotonda(double x) { return std::nearbyint(x); }

// --- Cell length ---

// One track cell for every 50 m of the run.
inline constexpr int32_t metri_cella = 50;

// Cell index of a position: position / 50 plus an offset, rounded. Objects
// take the cell after their position's own (offset 1); values in force
// start in the position's own cell (offset 0).
inline int64_t indice_cella(int64_t posizione, int offset) {
  return static_cast<int64_t>(
      arrotonda(static_cast<double>(posizione) / static_cast<double>(metri_cella) + offset));
}
// The position a cell stands for, read back with the same offset: its first
// metre. indice_cella(posizione_cella(c, o), o) == c.
constexpr int64_t posizione_cella(int64_t cella, int offset) {
  return (cella - offset) * metri_cella;
}
// Whether a position falls on a cell's first metre, as some rows need.
constexpr bool multiplo_cella(int64_t posizione) { return posizione % metri_cella == 0; }

// The track and the plan run this far past the nominal length of the line.
inline constexpr int32_t coda_percorso = 7000;

// The last cell N of the track of a line of the given length (m): one cell
// per 50 m of the line and its tail, rounded.
inline int32_t ultima_cella_per(int32_t lunghezza) {
  return static_cast<int32_t>(
      arrotonda((static_cast<double>(lunghezza) + coda_percorso) / metri_cella));
}

// Integer fields keep the low 16 bits, Byte fields the low 8 bits.
inline int16_t basso16(int64_t v) { return static_cast<int16_t>(static_cast<uint16_t>(v)); }
inline uint8_t basso8(int64_t v) { return static_cast<uint8_t>(v); }

// --- Values in force in each cell ---

// Gradient, per mille, held in its byte plus 100 (the byte's low 8 bits).
inline constexpr int scarto_pendenza = 100;
inline uint8_t byte_pendenza(int64_t per_mille) { return basso8(per_mille + scarto_pendenza); }
constexpr int pendenza_del_byte(uint8_t b) { return int{b} - scarto_pendenza; }

// Speed limit, km/h, held in its byte in 5 km/h units, rounded; nothing
// when the units do not fit the byte.
inline constexpr int kmh_per_unita = 5;
inline std::optional<uint8_t> unita_velocita(int64_t kmh) {
  const double u = arrotonda(static_cast<double>(kmh) / kmh_per_unita);
  if (u < 0 || u > 255) return std::nullopt;
  return static_cast<uint8_t>(u);
}
constexpr int velocita_delle_unita(uint8_t u) { return int{u} * kmh_per_unita; }

// --- Speed indicator boards ---

// The two sides of one of a board's three Integers, or of its stripe codes.
struct lati_indicatore {
  int64_t s = 0;
  int64_t d = 0;
  friend bool operator==(const lati_indicatore&, const lati_indicatore&) = default;
};

// One side's speed in 5 km/h units as hundreds, the other side's as the
// last two digits: v_s * 20 + v_d / 5, rounded. Nothing when the value does
// not fit an Integer.
inline std::optional<int16_t> coppia_indicatore(int32_t v_s, int32_t v_d) {
  const double valore = arrotonda(static_cast<double>(v_s) * 20 + static_cast<double>(v_d) / 5);
  if (valore < std::numeric_limits<int16_t>::min() || valore > std::numeric_limits<int16_t>::max())
    return std::nullopt;
  return static_cast<int16_t>(valore);
}
// Read back with the hundreds taken downwards, so that the second side is
// always 0 to 495 km/h and only the first carries a sign: -150 reads as
// -10 and 250. Other splits pack to the same Integer (-5 and -250 too);
// this is the one the report and the decompiled source both give.
constexpr lati_indicatore lati_della_coppia(int16_t v) {
  const int centinaia = v >= 0 ? v / 100 : -((-v + 99) / 100);
  return {int64_t{centinaia} * kmh_per_unita, int64_t{v - 100 * centinaia} * kmh_per_unita};
}

// The stripe codes: one side's as tens, the other's as units, in Integer
// arithmetic on the low 16 bits (they wrap).
inline int16_t strisce_indicatore(int32_t s, int32_t d) {
  return basso16(int32_t{basso16(s)} * 10 + basso16(d));
}
constexpr lati_indicatore strisce_della_coppia(int16_t v) { return {v / 10, v % 10}; }

// --- Signals ---

// A signal's Integers: a value of the first group as tens and the matching
// one of the second as units, in Integer arithmetic on the low 16 bits; the
// same for rapp and the aspect pair. Read back with the tens taken
// downwards, as the indicator pairs are: the units are always 0 to 9, and
// -5 reads as -1 and 5.
struct decine_unita {
  int64_t decine = 0;
  int64_t unita = 0;
  friend bool operator==(const decine_unita&, const decine_unita&) = default;
};
inline int16_t coppia_segnale(int64_t decine, int64_t unita) { return basso16(decine * 10 + unita); }
constexpr decine_unita decine_della_coppia(int16_t v) {
  const int decine = v >= 0 ? v / 10 : -((-v + 9) / 10);
  return {decine, v - 10 * decine};
}

// --- Approach marks (a cell's dato6) ---

// A stop's four marks, j = 1 in the cell just before the stop to 4.
inline constexpr int segni_fermata = 4;
constexpr uint8_t segno_fermata(int j) { return static_cast<uint8_t>(80 + j); }
// Which of a stop's marks a byte is (1 to 4), or 0 for a byte that is none.
constexpr int numero_segno_fermata(uint8_t segno) {
  return segno > 80 && segno <= 80 + segni_fermata ? segno - 80 : 0;
}
// A signal's mark k (1 to 4, k * 2 cells before it): its aspect as tens, k as
// units, in a byte. Only the tools' own checks rebuild it, from the aspect.
inline uint8_t segno_segnale(int64_t aspetto, int k) { return basso8(aspetto * 10 + k); }

// --- Station kinds ---

// How a station's area lies around its position p, for a length l: kinds 5
// and 6 (terminal) from p - l to p + 150, kinds 7 and 8 from p - l to p + l,
// any other centred, p - l/2 to p + l/2, or 50 m longer ahead when the row
// asks for it. From kind 25 up the train does not stop there: no stop cell
// and no marks; kinds 5 and 6 have the stop but no marks.
enum class forma_area { di_testa, doppia, centrata };
constexpr forma_area forma_del_tipo(uint8_t tipo) {
  if (tipo == 5 || tipo == 6) return forma_area::di_testa;
  if (tipo == 7 || tipo == 8) return forma_area::doppia;
  return forma_area::centrata;
}
constexpr bool ferma_il_treno(uint8_t tipo) { return tipo < 25; }
constexpr bool ha_segni_fermata(uint8_t tipo) {
  return ferma_il_treno(tipo) && forma_del_tipo(tipo) != forma_area::di_testa;
}
// Only a centred area can be longer ahead: the compiler clears the row's
// value for the others.
constexpr bool allungabile(uint8_t tipo) { return forma_del_tipo(tipo) == forma_area::centrata; }
inline constexpr int64_t oltre_di_testa = 150;

struct area_stazione {
  int64_t inizio = 0;
  int64_t fine = 0;
  friend bool operator==(const area_stazione&, const area_stazione&) = default;
};
constexpr area_stazione area_del_tipo(uint8_t tipo, int64_t p, int64_t lunghezza, bool allunga) {
  switch (forma_del_tipo(tipo)) {
    case forma_area::di_testa:
      return {p - lunghezza, p + oltre_di_testa};
    case forma_area::doppia:
      return {p - lunghezza, p + lunghezza};
    case forma_area::centrata:
      break;
  }
  return {p - lunghezza / 2, p + lunghezza / 2 + (allunga ? metri_cella : 0)};
}
// The row a stored area comes from: its length, read from the start, and
// whether it asked for the longer area; `allunga` is empty when the end is
// not one that length gives.
struct riga_area {
  int64_t lunghezza = 0;
  std::optional<bool> allunga;
};
constexpr riga_area riga_dell_area(uint8_t tipo, int64_t p, area_stazione a) {
  const forma_area f = forma_del_tipo(tipo);
  const int64_t lunghezza = f == forma_area::centrata ? 2 * (p - a.inizio) : p - a.inizio;
  riga_area r{lunghezza, std::nullopt};
  for (const bool allunga : {false, true}) {
    if (allunga && !allungabile(tipo)) break;
    if (area_del_tipo(tipo, p, lunghezza, allunga) == a) r.allunga = allunga;
  }
  return r;
}
// A stop's cell, the last of its area, and the cell of its mark j.
constexpr int64_t cella_fermata(int64_t fine) { return fine / metri_cella - 1; }
constexpr int64_t cella_segno_fermata(int64_t fine, int j) { return cella_fermata(fine) - j; }

// --- The empty table entry ---

// An entry no source row wrote: every field as voce_corsa{} has it.
inline bool voce_vuota(const voce_corsa& v) { return v == voce_corsa{}; }
