// What the two names of a scenario (its own and the train's) give, the same
// for the program, the compiling tool and the examiner: the names of its files
// and the two scenario codes of the header slots.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

struct file_scenario {
  std::string sorgente_linea;  // NAME_linea.txt
  std::string sorgente_corsa;  // NAME_TRAIN-.txt
  std::string linea;           // NAME_linea.dat
  std::string tabella;         // NAME_TRAIN.sim
  std::string tracciato;       // NAME_TRAIN.dat
};
file_scenario file_dello_scenario(std::string_view nome_scenario, std::string_view numero_treno);

// Whether none of the files a tool reads is in the folder: the compiled ones
// or (`sorgenti`) the two sources.
bool nessun_file_da_leggere(const std::filesystem::path& cartella, std::string_view nome,
                            std::string_view treno, bool sorgenti);

struct codici_scenario {
  int16_t tracciato;  // cell 1, dato2 (codice_gara_og)
  int32_t tabella;    // orario of the scenario's entry (codice_gara_st)
};
codici_scenario codici_dai_nomi(std::string_view numero_treno, std::string_view nome_scenario);
