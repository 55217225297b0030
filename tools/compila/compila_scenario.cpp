// compila_scenario [--senza-linea] CARTELLA NOME TRENO
#include <iostream>

#include "sistema/fine_programma.h"
#include "sistema/piattaforma.h"
#include "tools/compila/compila.h"

int main(int argc, char** argv) {
  flussi_standard_binari();
  const auto argomenti = argomenti_programma(argc, argv, "compila_scenario: ", std::cerr);
  if (!argomenti) return stato_uscita::uso;
  return compila_scenario(*argomenti, std::cout, std::cerr);
}
