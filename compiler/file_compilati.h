// The three compiled files, encoded byte for byte. No header, no record count,
// no padding; every number little-endian.
//
// Line file (NAME_linea.dat): the elements of punti_linea, every first
// coordinate for metres 0..L+7000, then every second coordinate. Each element:
//   +0  2  type code: 0 empty, 2 Integer, 5 Double
//   +2  0, 2 or 8  the value (nothing, Integer, Double)
//
// Table file (NAME_TRAIN.sim): the 87 entries of tabella_corsa, entry 0 first,
// one after the other (a reader walks them), each 34 + n bytes:
//   +0 tipo (1)  +1 inizio (4)  +5 fine (4)  +9 progressiva (4)  +13 byte1 (1)
//   +14 n = length of nome (2)  +16 nome (n bytes, no terminator)
//   +16+n intero1..intero5 (2 each)  +26+n byte2 byte3 byte4 byte5 (1 each)
//   +30+n orario (4)
//
// Track file (NAME_TRAIN.dat): the cells of celle, cell 0 first, 15 bytes each:
//   +0 tipo  +1 dato1  +3 dato2  +5 dato3  +7 dato4 (2 each)  +9 dato5
//   +10 dato6  +11 montagna  +12 velocita  +13 pendenza  +14 aderenza (1 each)
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/record.h"

inline constexpr size_t byte_cella = 15;
inline constexpr size_t byte_voce_vuota = 34;

std::string codifica_linea(const punti_piano& punti);

// Size of the line file's part that holds coordinate k (0 or 1).
uint64_t byte_coordinata(const punti_piano& punti, int k);

// The line file in pieces, each handed to `consegna` with its place in the
// file: at the longest line the file is some 20 MB, and a fresh buffer that
// size costs more to map than the whole write. One walk of the plan gives
// both coordinates of a metre, so the pieces of the two parts come
// interleaved, each part's pieces in order; together they cover the file
// once, with no gap. A piece is at least `pezzo` bytes, but the last of each
// part, and less than `pezzo` + 5 120.
using consegna_pezzo = std::function<void(uint64_t posizione, std::string_view pezzo)>;
void codifica_linea_a_pezzi(const punti_piano& punti, size_t pezzo, const consegna_pezzo& consegna);

std::string codifica_tabella(const std::array<voce_corsa, 87>& tabella);
std::string codifica_tracciato(const std::vector<cella>& celle);
