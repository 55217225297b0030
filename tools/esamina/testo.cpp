#include "tools/esamina/testo.h"

#include <cstdio>

namespace {

// Code points of bytes 0x80 to 0x9F; 0 where Windows-1252 assigns none.
constexpr char32_t alti[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                               0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                               0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                               0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void aggiungi_utf8(std::string& s, char32_t c) {
  if (c < 0x80) {
    s += static_cast<char>(c);
  } else if (c < 0x800) {
    s += static_cast<char>(0xC0 | (c >> 6));
    s += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    s += static_cast<char>(0xE0 | (c >> 12));
    s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (c & 0x3F));
  }
}

}  // namespace

std::string da_1252(std::string_view byte) {
  std::string s;
  s.reserve(byte.size());
  for (const char ch : byte) {
    const auto b = static_cast<unsigned char>(ch);
    char32_t c = b;
    if (b < 0x20 || b == 0x7F)
      c = 0xFFFD;
    else if (b >= 0x80 && b <= 0x9F)
      c = alti[b - 0x80] ? alti[b - 0x80] : 0xFFFD;
    aggiungi_utf8(s, c);
  }
  return s;
}

std::string ora(int64_t secondi) {
  std::string segno;
  if (secondi < 0) {
    segno = "-";
    secondi = -secondi;
  }
  char testo[40];
  std::snprintf(testo, sizeof testo, "%02lld:%02lld:%02lld", static_cast<long long>(secondi / 3600),
                static_cast<long long>(secondi / 60 % 60), static_cast<long long>(secondi % 60));
  return segno + testo;
}

std::string chilometri(int64_t metri) {
  std::string segno;
  if (metri < 0) {
    segno = "-";
    metri = -metri;
  }
  char testo[40];
  std::snprintf(testo, sizeof testo, "%lld,%03lld", static_cast<long long>(metri / 1000),
                static_cast<long long>(metri % 1000));
  return segno + testo;
}
