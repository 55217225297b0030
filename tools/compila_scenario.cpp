// compila_scenario [--senza-linea] CARTELLA NOME TRENO
#include <iostream>

#include "tools/compila/compila.h"

int main(int argc, char** argv) {
  return compila_scenario(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
