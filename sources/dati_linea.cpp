// Writes the line source of the carried scenario for the compiler to read back.
#include "app/form1.h"
#include "sources/scenario_portato.h"

void Form1::dati_linea() {
  scrivi_righe(file_sorgente_linea().filename().string(), righe_sorgente_linea(), true);
}
