// The names of the files of a run, all in the program's folder unless the
// compiled files are sent elsewhere.
#include "app/form1.h"
#include "compiler/nomi_scenario.h"

std::filesystem::path Form1::percorso(std::string_view nome_file) const {
  return piattaforma_.cartella_programma() / std::string(nome_file);
}

std::filesystem::path Form1::file_sorgente_linea() const {
  return percorso(file_dello_scenario(nome_scenario, numero_treno).sorgente_linea);
}
std::filesystem::path Form1::file_sorgente_corsa() const {
  return percorso(file_dello_scenario(nome_scenario, numero_treno).sorgente_corsa);
}

namespace {
std::filesystem::path compilato(const Form1& form, const std::string& nome) {
  return form.cartella_compilati.empty() ? form.percorso(nome) : form.cartella_compilati / nome;
}
}  // namespace

std::filesystem::path Form1::file_linea() const {
  return compilato(*this, file_dello_scenario(nome_scenario, numero_treno).linea);
}
std::filesystem::path Form1::file_tabella() const {
  return compilato(*this, file_dello_scenario(nome_scenario, numero_treno).tabella);
}
std::filesystem::path Form1::file_tracciato() const {
  return compilato(*this, file_dello_scenario(nome_scenario, numero_treno).tracciato);
}
