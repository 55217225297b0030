// decompila_scenario [--senza-linea] [--in USCITA] [--sovrascrivi] CARTELLA NOME TRENO
#include <iostream>

#include "app/piattaforma.h"
#include "tools/decompila/comando.h"

int main(int argc, char** argv) {
  flussi_standard_binari();
  return decompila_scenario(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
