#include "tools/decompila/completamento.h"

#include <algorithm>
#include <cstdint>
#include <optional>

#include "compiler/compilatore.h"

namespace {

// The code the post-pass gives the points it places.
constexpr int16_t codice_aggiunto = 180;

// A code point the post-pass may have placed. The header cell's code lies
// under the scenario's codes, so any code point there may be.
bool aggiungibile(const std::vector<cella>& celle, int64_t c) {
  const cella& x = celle[static_cast<size_t>(c)];
  return x.tipo == tipo_cella::punto_codice &&
         (x.dato1 == codice_aggiunto || c == static_cast<int64_t>(cella_intestazione));
}

// The first guess: the post-pass's rules walked over the cells as they are.
// Where it would take a free cell, a code point found there with its code is
// its own, unless `dal_sorgente` says a row wrote it; every code point the
// walk does not take comes from a row.
std::vector<bool> prima_ipotesi(const std::vector<cella>& celle,
                                const std::vector<bool>& dal_sorgente) {
  const int64_t ultima = static_cast<int64_t>(celle.size()) - 1;
  std::vector<bool> suo(celle.size(), false);
  const auto esiste = [&](int64_t c) { return c >= 0 && c <= ultima; };
  const auto di_tipo = [&](int64_t c, uint8_t t) {
    return esiste(c) && celle[static_cast<size_t>(c)].tipo == t;
  };
  // Free for the post-pass at this point of its walk: a cell with nothing,
  // or a code point of its own that it has not yet put.
  const auto prendi = [&](int64_t c) {
    if (!esiste(c)) return false;
    const size_t k = static_cast<size_t>(c);
    if (libera(celle[k])) return true;
    if (aggiungibile(celle, c) && !suo[k] && !dal_sorgente[k]) {
      suo[k] = true;
      return true;
    }
    return false;
  };
  for (int64_t i = 1; i <= ultima - 2; ++i) {
    const cella& ci = celle[static_cast<size_t>(i)];
    if (ci.tipo == tipo_cella::avviso_rallentamento) {
      for (int64_t k = 1; k <= 20 && i - k >= 3; ++k) {
        const int64_t d = i - k;
        if (!di_tipo(d, tipo_cella::segnale)) continue;
        if (!prendi(d - 1)) prendi(d - 2);
      }
    } else if (ci.tipo == tipo_cella::inizio_rallentamento) {
      for (const auto& [primo, ultimo] : {std::pair{5, 7}, std::pair{11, 13}, std::pair{18, 20}}) {
        if (i <= ultimo) continue;
        for (int64_t c = i - primo; c >= i - ultimo; --c)
          if (prendi(c)) break;
      }
      int64_t j = i;
      if (ci.dato1 >= 110) {
        do ++j;
        while (j < ultima && !di_tipo(j, tipo_cella::fine_rallentamento));
      } else {
        int contatore = 0;
        do {
          ++j;
          ++contatore;
          if (contatore != 8) continue;
          if (prendi(j))
            contatore = 0;
          else if (prendi(j - 1))
            contatore = 1;
          else if (prendi(j + 1))
            contatore = -1;
        } while (j < ultima && !di_tipo(j, tipo_cella::fine_rallentamento));
      }
      const int64_t limite = std::min(j + 12, ultima);
      for (int64_t s = j; s <= limite; ++s) {
        if (!di_tipo(s, tipo_cella::segnale)) continue;
        if (s - 1 > 0 && !prendi(s - 1)) prendi(s - 2);
        break;
      }
    }
  }
  return suo;
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
    if (compilatore_.problema.codice != 0) primo = compilatore_.problema.posizione / 50;
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
