// Stores one slowdown: its start and end cells and, when it starts far enough
// into the line, the warning board 1200 m before it and the four marks that
// lead to the board.
#include <cstdint>

#include "compiler/avviso_rallentamento.h"
#include "compiler/celle_guardate.h"
#include "compiler/codici_errore.h"
#include "compiler/compilatore.h"
#include "compiler/numeri.h"

void compilatore::memo_rallentamento(int32_t x, int32_t& v, int32_t& l, int32_t& f_tt, int32_t f_ta,
                                     int32_t& d_v) {
  const bool con_avviso = x > inizio_con_avviso;
  const int64_t inizio_avviso = int64_t{x} - distanza_avviso;
  cella* avviso = nullptr;
  if (con_avviso) {
    avviso = cella_libera(*this, indice_cella(inizio_avviso, 1));
    if (avviso == nullptr) {
      problema.codice = numero_errore(errore_compilazione::avviso_su_cella_occupata);
      return;
    }
  } else {
    f_ta = 0;
  }

  cella* inizio = cella_libera(*this, indice_cella(x, 1));
  if (inizio == nullptr) {
    problema.codice = numero_errore(errore_compilazione::inizio_rallentamento_su_cella_occupata);
    return;
  }
  cella* fine = cella_libera(*this, indice_cella(int64_t{x} + l, 1));
  if (fine == nullptr) {
    problema.codice = numero_errore(errore_compilazione::fine_rallentamento_su_cella_occupata);
    return;
  }

  // The end first: a slowdown so short that both fall in one cell leaves a
  // start cell there.
  fine->tipo = tipo_cella::fine_rallentamento;
  if (d_v != 0) fine->dato2 = basso16(d_v);
  inizio->tipo = tipo_cella::inizio_rallentamento;
  if (d_v != 0) inizio->dato2 = basso16(d_v);
  if (con_avviso) {
    avviso->tipo = tipo_cella::avviso_rallentamento;
    if (d_v != 0) avviso->dato2 = basso16(d_v);
    avviso->dato1 = basso16(v);
  }
  inizio->dato1 = basso16(v);
  fine->dato1 = basso16(v);
  inizio->dato3 = basso16(f_tt);
  fine->dato3 = basso16(f_tt);

  if (f_ta == 0) return;
  // The marks lie in the four cells just before the warning board, 1 next to
  // it; all four must be free before any is written.
  const int64_t b = indice_cella(inizio_avviso, 0);
  cella* segni[4];
  for (int i = 0; i < 4; ++i) {
    segni[i] = cella_libera(*this, b - i);
    if (segni[i] == nullptr) {
      problema.codice = numero_errore(errore_compilazione::segni_avviso_su_celle_occupate);
      return;
    }
  }
  for (int i = 0; i < 4; ++i) {
    segni[i]->tipo = tipo_cella::segno_avviso;
    segni[i]->dato1 = static_cast<int16_t>(i + 1);
    if (d_v != 0) segni[i]->dato2 = static_cast<int16_t>(i + 1);
  }
}
