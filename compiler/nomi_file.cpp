// The names of the files of a compilation: the sources in its folder, the
// compiled files there too unless they are sent elsewhere.
#include "compiler/compilatore.h"
#include "compiler/nomi_scenario.h"

std::filesystem::path compilatore::file_sorgente_linea() const {
  return cartella / file_dello_scenario(nome_scenario, numero_treno).sorgente_linea;
}
std::filesystem::path compilatore::file_sorgente_corsa() const {
  return cartella / file_dello_scenario(nome_scenario, numero_treno).sorgente_corsa;
}

namespace {
std::filesystem::path compilato(const compilatore& c, const std::string& nome) {
  return (c.cartella_compilati.empty() ? c.cartella : c.cartella_compilati) / nome;
}
}  // namespace

std::filesystem::path compilatore::file_linea() const {
  return compilato(*this, file_dello_scenario(nome_scenario, numero_treno).linea);
}
std::filesystem::path compilatore::file_tabella() const {
  return compilato(*this, file_dello_scenario(nome_scenario, numero_treno).tabella);
}
std::filesystem::path compilatore::file_tracciato() const {
  return compilato(*this, file_dello_scenario(nome_scenario, numero_treno).tracciato);
}
