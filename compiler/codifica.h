// Little-endian fields of the compiled files, both ways: `codifica` writes
// them field by field into a byte buffer (the in-memory layout of a record
// never reaches the disk), `decodifica` reads them back through a cursor that
// never reads past the bytes it was given. Each names the width it handles:
// u8, u16, i16, i32, f64, and testo (an i16 length, then one byte per
// character). Both are visitors of the field lists in compiler/formato.h.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

// Writes v at p, least significant byte first; returns the byte after it.
template <typename T>
char* scrivi_le(char* p, T v) {
  for (size_t i = 0; i < sizeof v; ++i) p[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
  return p + sizeof v;
}

inline uint64_t bit_doppio(double v) {
  uint64_t bit;
  std::memcpy(&bit, &v, sizeof bit);
  return bit;
}

// The unsigned value of sizeof(T) bytes at p, least significant byte first.
template <typename T>
T leggi_le(const char* p) {
  T v = 0;
  for (size_t i = sizeof v; i-- > 0;) v = static_cast<T>((v << 8) | static_cast<uint8_t>(p[i]));
  return v;
}

class codifica {
 public:
  void riserva(size_t n) {
    if (n > dati_.size()) dati_.resize(n);
  }

  void u8(uint8_t v) { *spazio(1) = static_cast<char>(v); }
  void u16(uint16_t v) { senza_segno(v); }
  void i16(int16_t v) { senza_segno(static_cast<uint16_t>(v)); }
  void i32(int32_t v) { senza_segno(static_cast<uint32_t>(v)); }
  void f64(double v) { senza_segno(bit_doppio(v)); }
  void testo(std::string_view s) {
    i16(static_cast<int16_t>(s.size()));
    if (!s.empty()) std::memcpy(spazio(s.size()), s.data(), s.size());
  }

  // The bytes written so far.
  std::string_view dati() const { return {dati_.data(), usati_}; }

  // Hands the bytes over without copying them; the encoder is left empty.
  std::string prendi() {
    dati_.resize(usati_);
    usati_ = 0;
    return std::move(dati_);
  }

 private:
  // A line file is some 20 MB of small fields: they are stored through a
  // cursor into room made ahead, not appended one byte at a time.
  char* spazio(size_t n) {
    if (dati_.size() - usati_ < n) dati_.resize(std::max(2 * dati_.size(), usati_ + n));
    char* p = dati_.data() + usati_;
    usati_ += n;
    return p;
  }
  template <typename T>
  void senza_segno(T v) {
    scrivi_le(spazio(sizeof v), v);
  }
  std::string dati_;
  size_t usati_ = 0;
};

// What a read could not take: where the field began, how many bytes it
// needed from there and how many were left. A text that could not be read
// also gives the length it declared: negative (wrong whatever follows), or
// longer than the bytes left.
struct guasto_lettura {
  size_t byte = 0;
  size_t servono = 0;
  size_t restavano = 0;
  std::optional<int16_t> lunghezza_testo;
};

class decodifica {
 public:
  explicit decodifica(std::string_view b) : b_(b) {}

  size_t posizione() const { return at_; }
  size_t restano() const { return b_.size() - at_; }
  bool finito() const { return at_ == b_.size(); }
  // Once a read has failed, every later one fails too and the cursor stays
  // where the failed read began: a record read field by field is checked
  // once, at its end.
  bool ok() const { return !guasto_; }
  const std::optional<guasto_lettura>& guasto() const { return guasto_; }

  bool u8(uint8_t& v) { return numero(v); }
  bool u16(uint16_t& v) { return numero(v); }
  bool i16(int16_t& v) { return numero(v); }
  bool i32(int32_t& v) { return numero(v); }
  bool f64(double& v) {
    uint64_t bit = 0;
    if (!numero(bit)) return false;
    std::memcpy(&v, &bit, sizeof v);
    return true;
  }
  bool testo(std::string& s) {
    const size_t inizio = at_;
    int16_t n = 0;
    if (!i16(n)) return false;
    if (n < 0) {
      at_ = inizio;
      guasto_ = guasto_lettura{inizio, 0, restano(), n};
      return false;
    }
    if (!prendi(inizio, static_cast<size_t>(n))) {
      guasto_->lunghezza_testo = n;
      return false;
    }
    s.assign(b_.substr(at_ - static_cast<size_t>(n), static_cast<size_t>(n)));
    return true;
  }

 private:
  template <typename T>
  bool numero(T& v) {
    if (!prendi(at_, sizeof v)) return false;
    using U = std::make_unsigned_t<T>;
    v = static_cast<T>(leggi_le<U>(b_.data() + at_ - sizeof v));
    return true;
  }
  // Moves past n more bytes of a field that began at `inizio`, if they are there.
  bool prendi(size_t inizio, size_t n) {
    if (guasto_) return false;
    if (restano() < n) {
      guasto_ = guasto_lettura{inizio, at_ - inizio + n, b_.size() - inizio, std::nullopt};
      at_ = inizio;
      return false;
    }
    at_ += n;
    return true;
  }

  std::string_view b_;
  size_t at_ = 0;
  std::optional<guasto_lettura> guasto_;
};

// The value of one field at byte `at`, for tests and tools that look at a
// single field; past the end it throws std::out_of_range.
template <typename T>
T leggi_a(std::string_view b, size_t at) {
  decodifica in(b.substr(std::min(at, b.size())));
  T v{};
  bool letto = false;
  if constexpr (std::is_same_v<T, uint8_t>) letto = in.u8(v);
  if constexpr (std::is_same_v<T, uint16_t>) letto = in.u16(v);
  if constexpr (std::is_same_v<T, int16_t>) letto = in.i16(v);
  if constexpr (std::is_same_v<T, int32_t>) letto = in.i32(v);
  if constexpr (std::is_same_v<T, double>) letto = in.f64(v);
  if (at > b.size() || !letto) throw std::out_of_range("leggi_a: oltre la fine");
  return v;
}
