// Whole-file reads and writes. Every file the program writes is replaced
// atomically: written in full to a temporary file beside it, then renamed over
// it, so a failure part-way leaves the previous file intact and no temporary
// file behind. Failures raise errore_file, naming the file and the reason.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

void sostituisci_file(const std::filesystem::path& file, std::string_view contenuto);

// The whole content of a file in one read; errore_file when it cannot be read.
std::string leggi_file(const std::filesystem::path& file);

// Removes a file if it is there; a file already gone is no failure.
void elimina_file(const std::filesystem::path& file);
