// genera_sorgenti CARTELLA NOME TRENO KM: writes the two sources of a dense
// line of KM kilometres (an even number, 2 to 1000) into CARTELLA.
#include <exception>
#include <iostream>
#include <string>

#include "bench/genera_sorgenti.h"

int main(int argc, char** argv) {
  if (argc != 5) {
    std::cerr << "uso: genera_sorgenti CARTELLA NOME TRENO KM\n";
    return 2;
  }
  try {
    const int km = std::stoi(argv[4]);
    scrivi_sorgenti(argv[1], argv[2], argv[3], km * 1000);
  } catch (const std::exception& e) {
    std::cerr << "genera_sorgenti: " << e.what() << '\n';
    return 2;
  }
  return 0;
}
