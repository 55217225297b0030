// compila_scenario [--senza-linea] CARTELLA NOME TRENO
#include <iostream>

#include "app/piattaforma.h"
#include "tools/compila/compila.h"

int main(int argc, char** argv) {
  flussi_standard_binari();
  return compila_scenario(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
