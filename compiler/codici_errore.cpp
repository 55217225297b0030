#include "compiler/codici_errore.h"

std::string_view testo_errore(int32_t codice) {
  for (const voce_errore& e : elenco_errori)
    if (numero_errore(e.codice) == codice) return e.testo;
  return {};
}
