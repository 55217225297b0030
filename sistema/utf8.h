// How much of a run of UTF-8 bytes ends on a whole letter: what a console
// that takes letters, not bytes, can be given now, the rest waiting for the
// bytes that complete it.
#pragma once

#include <cstddef>
#include <string_view>

inline size_t lettere_intere(std::string_view byte) {
  // A letter is at most 4 bytes: only the last 3 can be the start of one cut short.
  for (size_t k = 1; k <= 3 && k <= byte.size(); ++k) {
    const auto b = static_cast<unsigned char>(byte[byte.size() - k]);
    if ((b & 0xC0) == 0x80) continue;  // a continuation byte: look further back
    const size_t lunga = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
    return lunga > k ? byte.size() - k : byte.size();
  }
  return byte.size();
}
