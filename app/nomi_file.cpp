// The names of the files of a run, all in the program's folder.
#include "app/form1.h"

std::filesystem::path Form1::percorso(std::string_view nome_file) const {
  return piattaforma_.cartella_programma() / std::string(nome_file);
}

std::filesystem::path Form1::file_sorgente_linea() const {
  return percorso(nome_scenario + "_linea.txt");
}
std::filesystem::path Form1::file_sorgente_corsa() const {
  return percorso(nome_scenario + "_" + numero_treno + "-.txt");
}
std::filesystem::path Form1::file_linea() const { return percorso(nome_scenario + "_linea.dat"); }
std::filesystem::path Form1::file_tabella() const {
  return percorso(nome_scenario + "_" + numero_treno + ".sim");
}
std::filesystem::path Form1::file_tracciato() const {
  return percorso(nome_scenario + "_" + numero_treno + ".dat");
}
