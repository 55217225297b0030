// esamina_scenario: reads back the three compiled files of a scenario,
// checks them, and prints what the simulator will load (see comando.h).
#include <iostream>

#include "app/piattaforma.h"
#include "tools/esamina/comando.h"

int main(int argc, char** argv) {
  flussi_standard_binari();
  return esegui_esamina(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
