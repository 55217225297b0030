// The byte layout of the three compiled files, said once. The compiler's
// encoder and the reader beside it (compiler/lettura_compilati.h) walk the
// same field lists, and every size and offset that a checker needs is
// derived from them. No header, no record
// count, no padding; every number little-endian (compiler/codifica.h).
//
// Track file (NAME_TRAIN.dat): the cells of celle, cell 0 first, each the
// fields of campi(…, cella) below (15 bytes).
//
// Table file (NAME_TRAIN.sim): the 87 entries of tabella_corsa, entry 0
// first, each the fields of campi(…, voce_corsa): 34 bytes and its name. An
// entry's size depends on its name, so a reader walks them one by one.
//
// Line file (NAME_linea.dat): the elements of punti_linea, every first
// coordinate for metres 0 to L + 7000, then every second one. Each is a
// tagged value: a u16 type code, then nothing, an i16 or an f64.
#pragma once

#include <concepts>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <type_traits>

#include "compiler/codifica.h"
#include "compiler/numeri.h"
#include "compiler/record.h"

template <class Campi, class C>
requires std::same_as<std::remove_const_t<C>, cella>
constexpr void campi(Campi& c, C& x) {
  c.u8(x.tipo);
  c.i16(x.dato1);
  c.i16(x.dato2);
  c.i16(x.dato3);
  c.i16(x.dato4);
  c.u8(x.dato5);
  c.u8(x.dato6);
  c.u8(x.montagna);
  c.u8(x.velocita);
  c.u8(x.pendenza);
  c.u8(x.aderenza);
}

template <class Campi, class V>
requires std::same_as<std::remove_const_t<V>, voce_corsa>
void campi(Campi& c, V& v) {
  c.u8(v.tipo);
  c.i32(v.inizio);
  c.i32(v.fine);
  c.i32(v.progressiva);
  c.u8(v.byte1);
  c.testo(v.nome);
  c.i16(v.intero1);
  c.i16(v.intero2);
  c.i16(v.intero3);
  c.i16(v.intero4);
  c.i16(v.intero5);
  c.u8(v.byte2);
  c.u8(v.byte3);
  c.u8(v.byte4);
  c.u8(v.byte5);
  c.i32(v.orario);
}

// Counts the bytes of the fields it visits.
struct misura_campi {
  size_t byte = 0;
  constexpr void u8(const uint8_t&) { byte += sizeof(uint8_t); }
  constexpr void i16(const int16_t&) { byte += sizeof(int16_t); }
  constexpr void i32(const int32_t&) { byte += sizeof(int32_t); }
  void testo(const std::string& s) { byte += sizeof(int16_t) + s.size(); }
};

inline constexpr size_t byte_cella = [] {
  misura_campi m;
  cella c;
  campi(m, c);
  return m.byte;
}();

// Bytes of a table entry: those of an empty name, plus one per character.
inline size_t byte_voce(const voce_corsa& v) {
  misura_campi m;
  campi(m, v);
  return m.byte;
}
inline const size_t byte_voce_vuota = byte_voce(voce_corsa{});

// Byte offset of `campo`, a member of `record`, from the record's first byte
// as laid out in its file. A text's offset is that of its characters, after
// its length.
template <class R, class T>
size_t scarto(const R& record, const T& campo) {
  struct cerca {
    const void* campo;
    size_t byte = 0;
    std::optional<size_t> trovato;
    void segna(const void* p, size_t n) {
      if (p == campo) trovato = byte;
      byte += n;
    }
    void u8(const uint8_t& v) { segna(&v, sizeof v); }
    void i16(const int16_t& v) { segna(&v, sizeof v); }
    void i32(const int32_t& v) { segna(&v, sizeof v); }
    void testo(const std::string& s) {
      byte += sizeof(int16_t);
      segna(&s, s.size());
    }
  } c{&campo, 0, std::nullopt};
  campi(c, record);
  return c.trovato.value();
}

// --- Line file ---

// Bytes that follow a type code, or nothing for a code the layout does not know.
constexpr std::optional<size_t> byte_dopo_codice(uint16_t tipo) {
  switch (tipo) {
    case tipo_valore::vuoto:
      return 0;
    case tipo_valore::intero:
      return sizeof(int16_t);
    case tipo_valore::doppio:
      return sizeof(double);
    default:
      return std::nullopt;
  }
}
// Bytes of a tagged value of a known type.
constexpr size_t byte_valore(uint16_t tipo) {
  return sizeof(uint16_t) + byte_dopo_codice(tipo).value_or(0);
}

// Writes one tagged value at p; returns the byte after it. An Integer is
// held as a double that has its exact value.
inline char* scrivi_valore(char* p, uint16_t tipo, double v) {
  p = scrivi_le(p, tipo);
  if (tipo == tipo_valore::intero)
    return scrivi_le(p, static_cast<uint16_t>(static_cast<int16_t>(v)));
  if (tipo == tipo_valore::doppio) return scrivi_le(p, bit_doppio(v));
  return p;
}

// Reads one tagged value. False either when the bytes run out (in.ok() then
// says so) or when the type code is unknown (`tipo` holds it, and the cursor
// stands after it).
inline bool leggi_valore(decodifica& in, uint16_t& tipo, double& v) {
  if (!in.u16(tipo)) return false;
  v = 0;
  switch (tipo) {
    case tipo_valore::vuoto:
      return true;
    case tipo_valore::intero: {
      int16_t i = 0;
      if (!in.i16(i)) return false;
      v = i;
      return true;
    }
    case tipo_valore::doppio:
      return in.f64(v);
    default:
      return false;
  }
}

// What the compiler lays at metre m of each half of a plan whose last metre
// is `ultimo`: points 0 and 1 as Integers, the computed points as Doubles up
// to two metres short of the end, the last two empty.
constexpr uint16_t tipo_al_metro(int64_t m, int64_t ultimo) {
  if (m <= 1) return tipo_valore::intero;
  if (m <= ultimo - 2) return tipo_valore::doppio;
  return tipo_valore::vuoto;
}

// Size of the line file of a line of L metres (0 to lunghezza_massima).
constexpr uint64_t byte_file_linea(int64_t L) {
  const int64_t ultimo = L + coda_percorso;
  const uint64_t doppi = static_cast<uint64_t>(ultimo - 3);  // metres 2 to ultimo - 2
  const uint64_t meta = 2 * byte_valore(tipo_valore::intero) +
                        doppi * byte_valore(tipo_valore::doppio) +
                        2 * byte_valore(tipo_valore::vuoto);
  return 2 * meta;
}
// The most bytes the line file of a line of L metres can have: as many values
// as above, each a Double (a curve run past the end of the plan turns the
// last values, empty otherwise, into Doubles).
constexpr uint64_t byte_massimi_file_linea(int64_t L) {
  return 2 * static_cast<uint64_t>(L + coda_percorso + 1) * byte_valore(tipo_valore::doppio);
}
static_assert(byte_cella == 15);
static_assert(byte_file_linea(0) == 139964 && byte_file_linea(1) == 139984);
