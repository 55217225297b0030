// The scenario an author starts from: compila_scenario --modello writes a
// small pair of sources, commented, that compiles with no warning.
#pragma once

#include <filesystem>
#include <ostream>
#include <string>

// The two sources of the model, Windows-1252 text with CR LF line ends.
std::string sorgente_linea_modello();
std::string sorgente_corsa_modello();

// Writes the model's sources for scenario `nome` and train `treno` into
// `cartella`, unless either is there already; returns the exit status.
int scrivi_modello(const std::filesystem::path& cartella, const std::string& nome,
                   const std::string& treno, std::ostream& uscita, std::ostream& errori);
