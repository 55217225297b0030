// Helpers shared by the two source readers.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "compiler/errore_lettura.h"

// The whole source file, or a read failure when it cannot be read (which
// belongs to no row: riga_errore is cleared).
std::string leggi_sorgente(const std::filesystem::path& file, int32_t& riga_errore);

// Text fields of a voce_corsa carry a 16-bit length: a longer text cannot be stored.
inline constexpr size_t testo_massimo = 32767;
