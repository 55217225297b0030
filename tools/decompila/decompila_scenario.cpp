// decompila_scenario [--senza-linea] [--in USCITA] [--sovrascrivi] CARTELLA NOME TRENO
#include <iostream>

#include "sistema/fine_programma.h"
#include "sistema/piattaforma.h"
#include "tools/decompila/comando.h"

int main(int argc, char** argv) {
  flussi_standard_binari();
  const auto argomenti = argomenti_programma(argc, argv, "decompila_scenario: ", std::cerr);
  if (!argomenti) return stato_uscita::uso;
  return decompila_scenario(*argomenti, std::cout, std::cerr);
}
