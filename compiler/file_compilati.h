// The three compiled files, encoded byte for byte as compiler/formato.h lays
// them out.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/formato.h"
#include "compiler/record.h"

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

std::string codifica_tabella(const std::array<voce_corsa, voci_tabella_corsa>& tabella);
std::string codifica_tracciato(const std::vector<cella>& celle);
