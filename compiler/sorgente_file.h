// Helpers shared by the two source readers.
#pragma once

#include <filesystem>
#include <string>

#include "compiler/errore_lettura.h"

// The whole source file, or a read failure when it cannot be read.
std::string leggi_sorgente(const std::filesystem::path& file);

// Text fields of a voce_corsa carry a 16-bit length: a longer text cannot be stored.
inline constexpr size_t testo_massimo = 32767;
