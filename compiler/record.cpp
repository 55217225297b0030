#include "compiler/record.h"

#include <algorithm>
#include <stdexcept>
#include <string>

void punti_piano::crea(int32_t ultimo) {
  libera_tutto();
  ultimo_ = ultimo;
}

void punti_piano::libera_tutto() {
  ultimo_ = -1;
  prossimo_ = 0;
  for (auto& punto : inizio_) punto[0] = punto[1] = 0;
  tratti_.clear();
  tratti_.shrink_to_fit();
  copia_.reset();
  a_mano_ = false;
}

void punti_piano::inizia(int16_t x0, int16_t y0, int16_t x1, int16_t y1) {
  if (a_mano_) throw std::logic_error("piano scritto a mano: non si ricomincia a passi");
  copia_.reset();
  tratti_.clear();
  inizio_[0][0] = x0;
  inizio_[0][1] = y0;
  inizio_[1][0] = x1;
  inizio_[1][1] = y1;
  prossimo_ = 2;
}

void punti_piano::dritto_fino(int64_t fino) { aggiungi(fino, false, 0.0); }

void punti_piano::curva_fino(int64_t fino, double k) { aggiungi(fino, true, k); }

void punti_piano::aggiungi(int64_t fino, bool curva, double k) {
  if (a_mano_) throw std::logic_error("piano scritto a mano: non si prosegue a passi");
  // Steps are taken from two points that exist, which only inizia provides.
  if (prossimo_ < 2) throw std::logic_error("piano senza i punti 0 e 1: non si prosegue a passi");
  if (fino < prossimo_) return;
  copia_.reset();
  tratti_.push_back({fino, curva, k});
  prossimo_ = fino + 1;
}

const punti_piano::valori_in_memoria& punti_piano::in_memoria() const {
  if (!copia_) {
    valori_in_memoria v;
    const size_t n = static_cast<size_t>(ultimo_ + 1);
    v.tipi.resize(2 * n);
    v.valori.resize(2 * n);
    size_t i = 0;
    percorri([&](uint16_t tx, double x, uint16_t ty, double y) {
      v.tipi[i] = static_cast<uint8_t>(tx);
      v.valori[i] = x;
      v.tipi[n + i] = static_cast<uint8_t>(ty);
      v.valori[n + i] = y;
      ++i;
    });
    copia_ = std::move(v);
  }
  return *copia_;
}

size_t punti_piano::quanti(int k, uint16_t tipo) const {
  if (k < 0 || k > 1 || ultimo_ < 0) return 0;
  const size_t n = static_cast<size_t>(ultimo_) + 1;
  if (copia_) {
    const auto da = copia_->tipi.begin() + static_cast<std::ptrdiff_t>(static_cast<size_t>(k) * n);
    return static_cast<size_t>(std::count(da, da + static_cast<std::ptrdiff_t>(n), tipo));
  }
  // Walked, the plan is points 0 and 1 as Integers, the computed ones as
  // Doubles, then the empty rest, alike for both coordinates.
  const size_t esistenti =
      static_cast<size_t>(std::min<int64_t>(prossimo_, static_cast<int64_t>(ultimo_) + 1));
  const size_t interi = std::min<size_t>(esistenti, 2);
  switch (tipo) {
    case tipo_valore::intero:
      return interi;
    case tipo_valore::doppio:
      return esistenti - interi;
    case tipo_valore::vuoto:
      return n - esistenti;
    default:
      return 0;
  }
}

size_t punti_piano::indice(int32_t m, int k) const {
  if (m < 0 || m > ultimo_ || k < 0 || k > 1)
    throw std::out_of_range("punto " + std::to_string(m) + ", coordinata " + std::to_string(k) +
                            " fuori dal piano");
  return static_cast<size_t>(k) * (static_cast<size_t>(ultimo_) + 1) + static_cast<size_t>(m);
}

void punti_piano::metti_intero(int32_t m, int k, int16_t v) {
  const size_t i = indice(m, k);
  in_memoria();
  a_mano_ = true;
  copia_->tipi[i] = tipo_valore::intero;
  copia_->valori[i] = v;
}

void punti_piano::metti_doppio(int32_t m, int k, double v) {
  const size_t i = indice(m, k);
  in_memoria();
  a_mano_ = true;
  copia_->tipi[i] = tipo_valore::doppio;
  copia_->valori[i] = v;
}
