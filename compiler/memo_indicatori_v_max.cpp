// Stores one speed indicator board in the cell after its position: three
// packed speed pairs and the two stripe codes.
#include <cstdint>
#include <limits>

#include "compiler/celle_guardate.h"
#include "compiler/codici_errore.h"
#include "compiler/compilatore.h"
#include "compiler/errore_lettura.h"
#include "compiler/numeri.h"

namespace {

// One side's speed in 5 km/h units as hundreds, the other side's as the last
// two digits: v_s * 20 + v_d / 5, rounded. An Integer field has no room for
// more, and a value that does not fit is a read failure, not a wrapped number.
int16_t coppia_velocita(int32_t v_s, int32_t v_d) {
  const double valore = arrotonda(static_cast<double>(v_s) * 20 + static_cast<double>(v_d) / 5);
  if (valore < std::numeric_limits<int16_t>::min() || valore > std::numeric_limits<int16_t>::max())
    throw errore_lettura("velocita' dell'indicatore fuori dal campo di un Integer");
  return static_cast<int16_t>(valore);
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
  // Stripe codes are Integer arithmetic on the low 16 bits: they wrap.
  c->dato4 = basso16(int32_t{basso16(strisces)} * 10 + basso16(strisced));
}
