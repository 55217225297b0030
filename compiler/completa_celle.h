// The track post-pass's walk: where, once every source row has been stored,
// it looks for cells to hold cab-signal code points around slowdowns and the
// signals near them, in which order, and what it does when a cell is taken.
// The compiler walks it to place the points (completa_celle.cpp);
// decompila_scenario walks it over a compiled track to tell the points it
// placed from those a row wrote. One walk, so the two cannot drift apart.
#pragma once

#include <algorithm>
#include <concepts>
#include <cstdint>

#include "compiler/codici_errore.h"
#include "compiler/record.h"

// The code that the post-pass gives every point it places or lowers.
inline constexpr int16_t codice_rallentamento = 180;

// Speeds from this one up need no repeated points inside the slowdown.
inline constexpr int16_t velocita_senza_ripetizione = 110;

// What the walk asks of the track it walks:
//   int64_t ultima() const               the last cell it may look at
//   const cella& operator[](int64_t) const
//   bool di_tipo(int64_t c, uint8_t tipo) const   false past either end
//   bool metti_punto(int64_t c)    a new point in c if it is free for one;
//                                  whether it was
//   bool abbassa_codice(int64_t c) the code of a point already in c lowered;
//                                  whether there was one
//   void errore(errore_compilazione, int64_t cella)   a problem found; the
//                                  walk carries on
template <class T>
concept tracciato_completamento = requires(T& t, const T& ct, int64_t c, uint8_t tipo) {
  { ct.ultima() } -> std::same_as<int64_t>;
  { ct[c] } -> std::same_as<const cella&>;
  { ct.di_tipo(c, tipo) } -> std::same_as<bool>;
  { t.metti_punto(c) } -> std::same_as<bool>;
  { t.abbassa_codice(c) } -> std::same_as<bool>;
  t.errore(errore_compilazione::manca_punto_nel_rallentamento, c);
};

namespace passi_completamento {

// Step A: every signal in the 20 cells before a warning board gets a code
// point in one of the two cells before it, or has the one there lowered.
template <tracciato_completamento T>
void segnali_prima_dell_avviso(T& t, int64_t i) {
  for (int64_t k = 1; k <= 20 && i - k >= 3; ++k) {
    const int64_t d = i - k;
    if (!t.di_tipo(d, tipo_cella::segnale)) continue;
    if (!t.metti_punto(d - 1) && !t.metti_punto(d - 2) && !t.abbassa_codice(d - 1) &&
        !t.abbassa_codice(d - 2))
      t.errore(errore_compilazione::segnale_senza_punto_codice, d);
  }
}

// Step B: a code point 250-350 m, 550-650 m and 900-1000 m before the start,
// each in the nearest free cell of its window.
template <tracciato_completamento T>
void punti_prima_dell_inizio(T& t, int64_t i) {
  struct finestra {
    int64_t prima;   // cells before the start of the first cell tried
    int64_t ultima;  // ... and of the last one; the window needs i above it
  };
  constexpr finestra finestre[] = {{5, 7}, {11, 13}, {18, 20}};
  for (const finestra& f : finestre) {
    if (i <= f.ultima) continue;
    bool messo = false;
    for (int64_t c = i - f.prima; c >= i - f.ultima && !messo; --c) messo = t.metti_punto(c);
    if (!messo) t.errore(errore_compilazione::manca_punto_prima_del_rallentamento, i);
  }
}

// Step C: inside a slow slowdown, a code point every 8 cells from the start.
// A point put one cell early or late moves the next one with it. Returns the
// cell where the walk stopped: the slowdown's end cell, or the last cell when
// there is none.
template <tracciato_completamento T>
int64_t punti_dentro_il_rallentamento(T& t, int64_t i) {
  int64_t j = i;
  if (t[i].dato1 >= velocita_senza_ripetizione) {
    do {
      ++j;
    } while (j < t.ultima() && !t.di_tipo(j, tipo_cella::fine_rallentamento));
    return j;
  }
  int contatore = 0;
  do {
    ++j;
    ++contatore;
    if (contatore != 8) continue;
    if (t.metti_punto(j)) {
      contatore = 0;
    } else if (t.metti_punto(j - 1)) {
      contatore = 1;
    } else if (t.metti_punto(j + 1)) {
      contatore = -1;
    } else {
      // The counter stays at 8: this slowdown gets no further points.
      t.errore(errore_compilazione::manca_punto_nel_rallentamento, j);
    }
  } while (j < t.ultima() && !t.di_tipo(j, tipo_cella::fine_rallentamento));
  return j;
}

// Step D: a code point just before the first signal within 12 cells of the
// slowdown's end.
template <tracciato_completamento T>
void punto_prima_del_segnale(T& t, int64_t j) {
  const int64_t limite = std::min(j + 12, t.ultima());
  for (int64_t s = j; s <= limite; ++s) {
    if (!t.di_tipo(s, tipo_cella::segnale)) continue;
    if (s - 1 <= 0) return;
    if (!t.metti_punto(s - 1) && !t.metti_punto(s - 2))
      t.errore(errore_compilazione::manca_punto_nel_rallentamento, j);
    return;
  }
}

}  // namespace passi_completamento

// The whole walk, cell 1 to the third from last (fixed before it starts:
// the last two cells are never looked at).
template <tracciato_completamento T>
void percorri_completamento(T& t) {
  using namespace passi_completamento;
  const int64_t ultima_esaminata = t.ultima() - 2;
  for (int64_t i = 1; i <= ultima_esaminata; ++i) {
    if (t[i].tipo == tipo_cella::avviso_rallentamento) {
      segnali_prima_dell_avviso(t, i);
    } else if (t[i].tipo == tipo_cella::inizio_rallentamento) {
      punti_prima_dell_inizio(t, i);
      punto_prima_del_segnale(t, punti_dentro_il_rallentamento(t, i));
    }
  }
}
