// Dense scenario sources of any length, for measuring the compiler on long
// lines. The line is laid out in blocks of 2 km that all share one pattern,
// so that every row passes the compiler's checks and no two objects ever
// want the same track cell; the few kinds that the records cap (text boards,
// stations, mountain spans) are spread evenly over the blocks.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

inline constexpr int32_t metri_blocco = 2000;

struct sorgenti_generate {
  std::string linea;  // NAME_linea.txt
  std::string corsa;  // NAME_TRAIN-.txt
};

// Both sources of a line of `lunghezza` metres (a multiple of metri_blocco,
// from one block up to 1 000 000 m), CR LF line ends, as the writers lay them.
sorgenti_generate genera_sorgenti(int32_t lunghezza);

// Writes them into `cartella` under the names the compiler looks for.
void scrivi_sorgenti(const std::filesystem::path& cartella, std::string_view nome,
                     std::string_view treno, int32_t lunghezza);
