// Stores one speed indicator board in the cell after its position: three
// packed speed pairs and the two stripe codes.
#include <cstdint>
#include <optional>

#include "compiler/celle_guardate.h"
#include "compiler/codici_errore.h"
#include "compiler/compilatore.h"
#include "compiler/errore_lettura.h"
#include "compiler/numeri.h"

namespace {

// A pair that does not fit its Integer is a read failure, not a wrapped number.
int16_t coppia_velocita(int32_t v_s, int32_t v_d) {
  const std::optional<int16_t> valore = coppia_indicatore(v_s, v_d);
  if (!valore) throw errore_lettura("velocità dell'indicatore fuori dal campo di un Integer");
  return *valore;
}

}  // namespace

void compilatore::memo_indicatori_v_max(int32_t posizione, int32_t vas, int32_t vbs, int32_t vcs,
                                        int32_t strisces, int32_t vad, int32_t vbd, int32_t vcd,
                                        int32_t strisced) {
  cella* c = cella_libera(*this, indice_cella(posizione, 1));
  if (c == nullptr) {
    problema.codice = numero_errore(errore_compilazione::indicatore_su_cella_occupata);
    return;
  }
  // Field by field, so that a speed that fails leaves the earlier ones stored.
  c->tipo = tipo_cella::indicatore_v_max;
  c->dato1 = coppia_velocita(vas, vad);
  c->dato2 = coppia_velocita(vbs, vbd);
  c->dato3 = coppia_velocita(vcs, vcd);
  c->dato4 = strisce_indicatore(strisces, strisced);
}
