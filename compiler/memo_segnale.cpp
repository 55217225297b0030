// Stores one signal in the cell after its position, and its approach marks
// on every second cell before it.
#include <cstdint>

#include "compiler/celle_guardate.h"
#include "compiler/codici_errore.h"
#include "compiler/compilatore.h"
#include "compiler/numeri.h"

void compilatore::memo_segnale(int32_t posizione, int32_t& sx, int32_t& s1, int32_t& s2,
                               int32_t& s3, int32_t& rapp, int32_t& dx, int32_t& d1, int32_t& d2,
                               int32_t& d3, int32_t& tempo) {
  const int64_t indice = indice_cella(posizione, 1);
  cella* c = cella_libera(*this, indice);
  if (c == nullptr) {
    problema.codice = numero_errore(errore_compilazione::segnale_su_cella_occupata);
    return;
  }

  // Each Integer holds a value of the first group as tens and the matching
  // value of the second group as units; the pair (sx, dx) packs as 3*sx + dx.
  const int64_t aspetto = int64_t{sx} * 3 + dx;
  c->tipo = tipo_cella::segnale;
  c->dato4 = coppia_segnale(rapp, aspetto);
  c->dato1 = coppia_segnale(s1, d1);
  c->dato2 = coppia_segnale(s2, d2);
  c->dato3 = coppia_segnale(s3, d3);

  // A signal time is 0 (none) or at least 101: shorter times are raised.
  if (tempo >= 1 && tempo <= 100) tempo = 101;
  c->dato5 = sx == 2 ? basso8(tempo) : 0;

  // The marks before a signal near the start of the line would fall before
  // the first cell; those are left out, the signal itself stands.
  for (int k = 1; k <= 4; ++k) {
    cella* segno = cella_esistente(*this, indice - 2 * k);
    if (segno != nullptr) segno->dato6 = segno_segnale(aspetto, k);
  }
}
