// Stores one mountain span: its kind in the montagna byte of every cell it
// covers and, for kinds above 10, a scenery marker on every 4th free cell.
#include <algorithm>
#include <cstdint>
#include <string>

#include "compiler/celle_guardate.h"
#include "compiler/compilatore.h"
#include "compiler/errore_lettura.h"
#include "compiler/numeri.h"

namespace {
// Spans that begin this close after the previous one (or overlap it) are
// drawn as one joined stretch, kind 3.
constexpr int64_t distacco_minimo = 150;
}  // namespace

void compilatore::memo_montagna(int32_t inizio, int32_t fine, int32_t& tipo) {
  // Refuse before touching anything, so a rejected span leaves no trace.
  if (n_montagne < 0 || n_montagne >= montagne_massime)
    throw errore_lettura("troppe montagne: al massimo " + std::to_string(montagne_massime));

  bool marca = false;
  if (tipo > 10) {
    tipo -= 10;
    marca = true;
  }

  ++n_montagne;
  inizi_montagna[n_montagne] = inizio;
  fini_montagna[n_montagne] = fine;

  if (n_montagne > 1 && int64_t{inizio} - fini_montagna[n_montagne - 1] <= distacco_minimo)
    tipo = 3;

  const int64_t primo = indice_cella(inizio, 0);
  const int64_t ultimo = indice_cella(fine, -1);
  // Only the cells of the span that exist are marked; the count k still runs
  // from the span's own first cell so markers keep their 200 m spacing.
  const int64_t da = std::max<int64_t>(primo, 0);
  const int64_t a = std::min<int64_t>(ultimo, ultima_cella);
  for (int64_t i = da; i <= a; ++i) {
    cella* c = cella_esistente(*this, i);
    if (c == nullptr) continue;
    c->montagna = basso8(tipo);
    const int64_t k = i - primo + 1;
    if (marca && k % 4 == 0 && c->tipo == tipo_cella::libera) c->tipo = tipo_cella::marca_montagna;
  }
}
