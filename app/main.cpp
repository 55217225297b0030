// genera_scenario: writes the carried scenario, its documents and its
// compiled files into the folder that holds this program.
#include "app/form1.h"

int main() {
  flussi_standard_binari();
  auto piattaforma = crea_piattaforma();
  Form1 form(*piattaforma);
  return form.avvia();
}
