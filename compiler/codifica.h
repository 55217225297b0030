// Little-endian encoding of the compiled files, field by field into a byte
// buffer: the in-memory layout of a record never reaches the disk.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
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

class codifica {
 public:
  void riserva(size_t n) {
    if (n > dati_.size()) dati_.resize(n);
  }

  void byte(uint8_t v) { *spazio(1) = static_cast<char>(v); }
  void intero(int16_t v) { senza_segno(static_cast<uint16_t>(v)); }
  void parola(uint16_t v) { senza_segno(v); }
  void lungo(int32_t v) { senza_segno(static_cast<uint32_t>(v)); }
  void doppio(double v) { senza_segno(bit_doppio(v)); }
  // A text field: 16-bit length, then one byte per character.
  void testo(std::string_view s) {
    intero(static_cast<int16_t>(s.size()));
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

// Reading back, for tests and tools: the value at a byte offset.
inline uint16_t leggi_parola(std::string_view b, size_t at) {
  return static_cast<uint16_t>(static_cast<uint8_t>(b[at]) |
                               (static_cast<uint8_t>(b[at + 1]) << 8));
}
inline int16_t leggi_intero(std::string_view b, size_t at) {
  return static_cast<int16_t>(leggi_parola(b, at));
}
inline int32_t leggi_lungo(std::string_view b, size_t at) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<uint8_t>(b[at + i]);
  return static_cast<int32_t>(v);
}
inline double leggi_doppio(std::string_view b, size_t at) {
  uint64_t v = 0;
  for (int i = 7; i >= 0; --i) v = (v << 8) | static_cast<uint8_t>(b[at + i]);
  double d;
  std::memcpy(&d, &v, sizeof d);
  return d;
}
