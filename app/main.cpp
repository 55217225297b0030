// genera_scenario: writes the carried scenario, its documents and its
// compiled files into the folder that holds this program.
#include <iostream>

#include "app/aiuto.h"
#include "app/form1.h"
#include "app/scegli_piattaforma.h"

int main(int argc, char** argv) {
  flussi_standard_binari();
  auto piattaforma = crea_piattaforma();
  if (argc > 1) return rispondi_agli_argomenti({argv + 1, argv + argc}, std::cout, std::cerr);
  Form1 form(*piattaforma);
  return form.avvia();
}
