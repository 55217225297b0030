// Little-endian encoding of the compiled files, field by field into a byte
// buffer: the in-memory layout of a record never reaches the disk.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

class codifica {
 public:
  void riserva(size_t n) { dati_.reserve(n); }

  void byte(uint8_t v) { dati_.push_back(static_cast<char>(v)); }
  void intero(int16_t v) { senza_segno(static_cast<uint16_t>(v), 2); }
  void parola(uint16_t v) { senza_segno(v, 2); }
  void lungo(int32_t v) { senza_segno(static_cast<uint32_t>(v), 4); }
  void doppio(double v) {
    uint64_t bit;
    std::memcpy(&bit, &v, sizeof bit);
    senza_segno(bit, 8);
  }
  // A text field: 16-bit length, then one byte per character.
  void testo(std::string_view s) {
    intero(static_cast<int16_t>(s.size()));
    dati_.append(s);
  }

  const std::string& dati() const { return dati_; }

 private:
  void senza_segno(uint64_t v, int n) {
    for (int i = 0; i < n; ++i) dati_.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
  }
  std::string dati_;
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
