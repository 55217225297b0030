#include "compiler/chilometri_linea.h"

#include <algorithm>

#include "compiler/numeri.h"

namespace {

// The length of a cell: a segment's line takes over one cell before its start.
constexpr int64_t anticipo = metri_cella;

}  // namespace

chilometri_linea::chilometri_linea(const std::array<voce_corsa, voci_tabella_corsa>& tabella) {
  for (int i = 0; i < 3; ++i) {
    const voce_corsa& v = tabella[voce_tabella::primo_segmento + i];
    segmento_chilometrico& s = segmenti_[i];
    s.voce = voce_tabella::primo_segmento + i;
    s.inizio = v.inizio;
    s.memorizzato = v.fine;
    s.codice = v.progressiva;
    s.valore = int64_t{v.fine} - (v.progressiva == 1 ? scarto_codice_uno : 0);
  }

  // In order of start; of two with one start the lower entry is the one read
  // (progressive_ordina puts first the segment that holds a value).
  std::vector<segmento_chilometrico*> in_fila;
  for (segmento_chilometrico& s : segmenti_)
    if (!s.vuoto()) in_fila.push_back(&s);
  if (in_fila.empty()) in_fila.push_back(&segmenti_[0]);
  std::stable_sort(in_fila.begin(), in_fila.end(),
                   [](const auto* a, const auto* b) { return a->inizio < b->inizio; });
  for (segmento_chilometrico* s : in_fila) {
    if (!tratti_.empty() &&
        s->inizio == segmenti_[tratti_.back().voce - voce_tabella::primo_segmento].inizio)
      continue;
    s->in_uso = true;
    const int64_t da = int64_t{s->inizio} - anticipo;
    tratti_.push_back({da, s->valore + s->verso() * da, s->verso(), s->voce});
  }
}

int64_t chilometri_linea::chilometro(int64_t posizione) const {
  auto t = std::upper_bound(tratti_.begin(), tratti_.end(), posizione,
                            [](int64_t p, const tratto_chilometrico& x) { return p < x.da_m; });
  if (t != tratti_.begin()) --t;
  return t->km_m + t->verso * (posizione - t->da_m);
}
