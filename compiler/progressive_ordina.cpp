// Puts the three kilometre-progressive segments (their three table entries) in the
// order the simulator expects: by start position, largest first, or, when all
// starts add up to zero, by which progressive values are given.
#include <array>
#include <cstdint>
#include <limits>

#include "compiler/chilometri_linea.h"
#include "compiler/compilatore.h"
#include "compiler/errore_lettura.h"

namespace {

struct segmento {
  int32_t inizio = 0;
  int32_t fine = 0;
  int32_t progressiva = 0;
  int letto = -1;  // which of the three rows as read, or none
};

segmento da_voce(const voce_corsa& v, int letto) {
  return {v.inizio, v.fine, v.progressiva, letto};
}

void in_voce(voce_corsa& v, const segmento& s) {
  v.inizio = s.inizio;
  v.fine = s.fine;
  v.progressiva = s.progressiva;
}

}  // namespace

void compilatore::progressive_ordina() {
  // As read: "tre" in the first segment's entry, "due" in the second's, "uno"
  // in the third's.
  const segmento t = da_voce(tabella_corsa[voce_tabella::primo_segmento], 0);
  const segmento d = da_voce(tabella_corsa[voce_tabella::secondo_segmento], 1);
  const segmento u = da_voce(tabella_corsa[voce_tabella::terzo_segmento], 2);
  const segmento nullo{};
  segmento primo = nullo, secondo = nullo, terzo = nullo;

  const int64_t somma = int64_t{t.inizio} + d.inizio + u.inizio;
  if (somma != 0) {
    if (t.inizio > d.inizio && t.inizio > u.inizio) {
      primo = t;
      if (d.inizio > u.inizio) {
        secondo = d, terzo = u;
      } else {
        secondo = u, terzo = d;  // also when the two starts are equal
      }
    } else if (d.inizio > t.inizio && d.inizio > u.inizio) {
      primo = d;
      if (t.inizio > u.inizio) {
        secondo = t, terzo = u;
      } else {
        secondo = u, terzo = t;
      }
    } else if (u.inizio > t.inizio && u.inizio > d.inizio) {
      primo = u;
      if (t.inizio > d.inizio) {
        secondo = t, terzo = d;
      } else {
        secondo = d, terzo = t;
      }
    }
    // A largest start shared by two segments leaves no usable order: all zero.
  } else if (u.fine > 0) {
    primo = u, secondo = d, terzo = t;
  } else if (d.fine > 0) {
    primo = d, secondo = t, terzo = u;
  } else if (t.fine > 0) {
    primo = t, secondo = d, terzo = u;
  }

  in_voce(tabella_corsa[voce_tabella::primo_segmento], primo);
  in_voce(tabella_corsa[voce_tabella::secondo_segmento], secondo);
  in_voce(tabella_corsa[voce_tabella::terzo_segmento], terzo);
  // Each row's place follows its segment, for the errors that name it.
  const std::array<luogo_riga, 3> lette = righe_segmenti;
  const segmento* ordinati[] = {&primo, &secondo, &terzo};
  for (size_t i = 0; i < 3; ++i) {
    const int letto = ordinati[i]->letto;
    righe_segmenti[i] = letto >= 0 ? lette[static_cast<size_t>(letto)] : luogo_riga{};
  }

  // Code 1 progressives are counted further on by the simulator.
  for (int i = voce_tabella::primo_segmento; i <= voce_tabella::terzo_segmento; ++i) {
    voce_corsa& v = tabella_corsa[i];
    if (v.progressiva != 1) continue;
    if (v.fine > std::numeric_limits<int32_t>::max() - scarto_codice_uno)
      throw errore_lettura("progressiva chilometrica oltre il campo di un Long");
    v.fine += scarto_codice_uno;
  }
}
