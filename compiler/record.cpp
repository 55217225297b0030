#include "compiler/record.h"

void punti_piano::crea(int32_t ultimo) {
  const size_t n = 2 * (static_cast<size_t>(ultimo) + 1);
  tipi_.assign(n, tipo_valore::vuoto);
  valori_.assign(n, 0.0);
}

void punti_piano::libera_tutto() {
  tipi_.clear();
  tipi_.shrink_to_fit();
  valori_.clear();
  valori_.shrink_to_fit();
}
