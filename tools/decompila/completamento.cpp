#include "tools/decompila/completamento.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <utility>

#include "compiler/compilatore.h"
#include "compiler/completa_celle.h"
#include "compiler/numeri.h"

namespace {

// A code point the post-pass may have placed. The header cell's code lies
// under the scenario's codes, so any code point there may be.
bool aggiungibile(const std::vector<cella>& celle, int64_t c) {
  const cella& x = celle[static_cast<size_t>(c)];
  return x.tipo == tipo_cella::punto_codice &&
         (x.dato1 == codice_rallentamento || c == static_cast<int64_t>(cella_intestazione));
}

// The track as the post-pass's walk sees it in the first guess: the cells as
// they are, where a cell it would take is free, or holds a code point of its
// own that it has not yet put. A code point found there with its code is
// its own, unless `dal_sorgente` says a row wrote it.
class tracciato_ipotesi {
 public:
  tracciato_ipotesi(const std::vector<cella>& celle, const std::vector<bool>& dal_sorgente)
      : celle_(celle), dal_sorgente_(dal_sorgente), suo_(celle.size(), false) {}

  int64_t ultima() const { return static_cast<int64_t>(celle_.size()) - 1; }
  const cella& operator[](int64_t c) const { return celle_[static_cast<size_t>(c)]; }
  bool di_tipo(int64_t c, uint8_t t) const { return esiste(c) && (*this)[c].tipo == t; }
  bool metti_punto(int64_t c) {
    if (!esiste(c)) return false;
    const size_t k = static_cast<size_t>(c);
    if (libera(celle_[k])) return true;
    if (aggiungibile(celle_, c) && !suo_[k] && !dal_sorgente_[k]) {
      suo_[k] = true;
      return true;
    }
    return false;
  }
  // Lowering a code takes no cell: nothing to tell.
  bool abbassa_codice(int64_t c) { return di_tipo(c, tipo_cella::punto_codice); }
  // Where the compiler would stop, the replay below shows it.
  void errore(errore_compilazione, int64_t) {}

  std::vector<bool> suo() && { return std::move(suo_); }

 private:
  bool esiste(int64_t c) const { return c >= 0 && c <= ultima(); }

  const std::vector<cella>& celle_;
  const std::vector<bool>& dal_sorgente_;
  std::vector<bool> suo_;
};

// The first guess: the post-pass's own walk over the cells as they are;
// every code point the walk does not take comes from a row.
std::vector<bool> prima_ipotesi(const std::vector<cella>& celle,
                                const std::vector<bool>& dal_sorgente) {
  tracciato_ipotesi t(celle, dal_sorgente);
  percorri_completamento(t);
  return std::move(t).suo();
}

// The compiler's own post-pass, run over the cells without the points a
// split calls its own: where it does not give the cells back, the split is
// wrong.
class replica {
 public:
  explicit replica(const std::vector<cella>& celle) : celle_(celle) {}

  // The first cell that does not come back, or where the post-pass finds a
  // problem (the compiler would then stop); nothing when all come back.
  std::optional<int64_t> prima_differenza(const std::vector<bool>& suo) {
    compilatore_.celle = celle_;
    for (size_t i = 0; i < celle_.size(); ++i) {
      if (!suo[i]) continue;
      compilatore_.celle[i].tipo = tipo_cella::libera;
      compilatore_.celle[i].dato1 = 0;
    }
    compilatore_.ultima_cella = static_cast<int32_t>(celle_.size()) - 1;
    compilatore_.problema.codice = 0;
    compilatore_.completa_celle();
    std::optional<int64_t> primo;
    if (compilatore_.problema.codice != 0) primo = compilatore_.problema.posizione / metri_cella;
    for (size_t i = 0; i < celle_.size(); ++i) {
      const cella& a = celle_[i];
      const cella& b = compilatore_.celle[i];
      // The header cell's code is the scenario's, whatever the post-pass put.
      const bool uguali = a.tipo == b.tipo && (a.dato1 == b.dato1 || i == cella_intestazione);
      if (uguali) continue;
      primo = std::min(primo.value_or(static_cast<int64_t>(i)), static_cast<int64_t>(i));
      break;
    }
    return primo;
  }

 private:
  const std::vector<cella>& celle_;
  compilatore compilatore_;
};

// Whether a split whose first difference is at `a` gets further than one at `b`.
bool piu_avanti(std::optional<int64_t> a, std::optional<int64_t> b) {
  if (!b) return false;
  return !a || *a > *b;
}

// Within how many cells before a difference the post-pass may have looked
// for the cell it took: the farthest window before a slowdown's start, and
// the two cells before a signal.
constexpr int64_t cerca_prima = 24;
constexpr int64_t cerca_dopo = 2;
// Each step takes the first difference further on; a track that no split
// explains stops after these many.
constexpr int passi_massimi = 256;

}  // namespace

// The guess is right unless a code point of a row lies where the post-pass
// would have put its own: the walk then takes the row's point for its own
// and loses step. Where the replay shows it, the code points just before
// the first difference are each held to be a row's (or no longer) in turn,
// the walk redone with it, and the change that takes the first difference
// furthest (with the fewest rows) kept, until every cell comes back.
std::vector<bool> punti_del_completamento(const std::vector<cella>& celle) {
  const int64_t n = static_cast<int64_t>(celle.size());
  std::vector<bool> dal_sorgente(celle.size(), false);
  std::vector<bool> suo = prima_ipotesi(celle, dal_sorgente);
  replica r(celle);
  std::optional<int64_t> differenza = r.prima_differenza(suo);
  const auto righe = [&](const std::vector<bool>& s) {
    int64_t k = 0;
    for (int64_t c = 0; c < n; ++c) k += aggiungibile(celle, c) && !s[static_cast<size_t>(c)];
    return k;
  };
  for (int passo = 0; differenza && passo < passi_massimi; ++passo) {
    std::optional<int64_t> scelta;
    std::vector<bool> suo_scelto;
    std::optional<int64_t> differenza_scelta = differenza;
    int64_t righe_scelte = 0;
    const int64_t da = std::max<int64_t>(*differenza - cerca_prima, 0);
    const int64_t a = std::min<int64_t>(*differenza + cerca_dopo, n - 1);
    for (int64_t c = da; c <= a; ++c) {
      if (!aggiungibile(celle, c)) continue;
      const size_t k = static_cast<size_t>(c);
      dal_sorgente[k] = !dal_sorgente[k];
      std::vector<bool> prova = prima_ipotesi(celle, dal_sorgente);
      dal_sorgente[k] = !dal_sorgente[k];
      const std::optional<int64_t> d = r.prima_differenza(prova);
      const bool pari = d == differenza_scelta;
      if (!piu_avanti(d, differenza_scelta) && !(pari && scelta && righe(prova) < righe_scelte))
        continue;
      scelta = c;
      differenza_scelta = d;
      righe_scelte = righe(prova);
      suo_scelto = std::move(prova);
    }
    if (!scelta) break;
    dal_sorgente[static_cast<size_t>(*scelta)] = !dal_sorgente[static_cast<size_t>(*scelta)];
    suo = std::move(suo_scelto);
    differenza = differenza_scelta;
  }
  return suo;
}
