// Writes the run source of the carried scenario for the compiler to read back.
#include "app/form1.h"
#include "sources/scenario_portato.h"

void Form1::dati_treno() {
  scrivi_righe(file_sorgente_corsa().filename().string(), righe_sorgente_corsa(), true);
}
