// esamina_scenario: reads back the three compiled files of a scenario,
// checks them, and prints what the simulator will load (see comando.h).
#include <iostream>

#include "sistema/fine_programma.h"
#include "sistema/piattaforma.h"
#include "tools/esamina/comando.h"

int main(int argc, char** argv) {
  flussi_standard_binari();
  const auto argomenti = argomenti_programma(argc, argv, "esamina_scenario: ", std::cerr);
  if (!argomenti) return stato_uscita::uso;
  return esegui_esamina(*argomenti, std::cout, std::cerr);
}
