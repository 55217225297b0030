// Reads both source files back into the compiled records: the line source
// first, then, unless the line stage ended the operation, the run source.
#include "compiler/compilatore.h"

void compilatore::memorizza_dati() {
  if (leggi_sorgente_linea()) leggi_sorgente_corsa();
}
