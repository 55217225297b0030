// The scenario the program carries: every line of its two source texts and of
// its three driver documents, as literals, in the order they are written.
#pragma once

#include <span>
#include <string_view>

std::span<const std::string_view> righe_sorgente_linea();  // NAME_linea.txt
std::span<const std::string_view> righe_sorgente_corsa();  // NAME_TRAIN-.txt
std::span<const std::string_view> righe_note();            // NAME_TRAIN_note.txt
std::span<const std::string_view> righe_rallentamenti();   // NAME_TRAIN_rallentamenti.txt
std::span<const std::string_view> righe_scheda();          // NAME_TRAIN_scheda_treno.txt
