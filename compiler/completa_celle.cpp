// The track post-pass: cab-signal code points around slowdowns and the
// signals near them, added once every source row has been stored.
#include <algorithm>

#include "compiler/codici_errore.h"
#include "compiler/compilatore.h"
#include "compiler/numeri.h"

namespace {

// The code that the post-pass gives every point it places or lowers.
constexpr int16_t codice_rallentamento = 180;

// Speeds from this one up need no repeated points inside the slowdown.
constexpr int16_t velocita_senza_ripetizione = 110;

// The cells as the post-pass sees them. Slowdowns near the end of the track
// make the walks and searches reach past the last cell; such a cell counts as
// taken, is never written and never read.
class tracciato {
 public:
  tracciato(std::vector<cella>& celle, int32_t ultima_cella)
      : celle_(celle),
        ultima_(std::min<int64_t>(ultima_cella, static_cast<int64_t>(celle.size()) - 1)) {}

  int64_t ultima() const { return ultima_; }
  bool esiste(int64_t c) const { return c >= 0 && c <= ultima_; }
  bool e_libera(int64_t c) const { return esiste(c) && libera(celle_[c]); }
  bool di_tipo(int64_t c, uint8_t tipo) const { return esiste(c) && celle_[c].tipo == tipo; }

  void metti_punto(int64_t c) {
    if (!esiste(c)) return;
    celle_[c].tipo = tipo_cella::punto_codice;
    celle_[c].dato1 = codice_rallentamento;
  }

  // An existing code point keeps its code only when it is already the lower one.
  void abbassa_codice(int64_t c) {
    if (!esiste(c)) return;
    celle_[c].dato1 = basso16(compilatore::minimo(codice_rallentamento, celle_[c].dato1));
  }

  const cella& operator[](int64_t c) const { return celle_[c]; }

 private:
  std::vector<cella>& celle_;
  int64_t ultima_;
};

// The post-pass records a problem and carries on; the last one found wins.
struct segnalatore {
  compilatore& form;
  void operator()(errore_compilazione codice, int64_t cella_errore) const {
    form.problema.codice = numero_errore(codice);
    form.problema.posizione = static_cast<int32_t>(cella_errore * 50);
    // The problem no longer belongs to a source row.
    form.problema.file.clear();
    form.problema.riga = 0;
    form.problema.colonna = 0;
    form.problema.motivo.clear();
  }
};

// Step A: every signal in the 20 cells before a warning board gets a code
// point in one of the two cells before it, or has the one there lowered.
void segnali_prima_dell_avviso(tracciato& t, int64_t i, const segnalatore& errore) {
  for (int64_t k = 1; k <= 20 && i - k >= 3; ++k) {
    const int64_t d = i - k;
    if (!t.di_tipo(d, tipo_cella::segnale)) continue;
    if (t.e_libera(d - 1)) {
      t.metti_punto(d - 1);
    } else if (t.e_libera(d - 2)) {
      t.metti_punto(d - 2);
    } else if (t.di_tipo(d - 1, tipo_cella::punto_codice)) {
      t.abbassa_codice(d - 1);
    } else if (t.di_tipo(d - 2, tipo_cella::punto_codice)) {
      t.abbassa_codice(d - 2);
    } else {
      errore(errore_compilazione::segnale_senza_punto_codice, d);
    }
  }
}

// Step B: a code point 250-350 m, 550-650 m and 900-1000 m before the start,
// each in the nearest free cell of its window.
void punti_prima_dell_inizio(tracciato& t, int64_t i, const segnalatore& errore) {
  struct finestra {
    int64_t prima;   // cells before the start of the first cell tried
    int64_t ultima;  // ... and of the last one; the window needs i above it
  };
  constexpr finestra finestre[] = {{5, 7}, {11, 13}, {18, 20}};
  for (const finestra& f : finestre) {
    if (i <= f.ultima) continue;
    bool messo = false;
    for (int64_t c = i - f.prima; c >= i - f.ultima && !messo; --c) {
      if (t.e_libera(c)) {
        t.metti_punto(c);
        messo = true;
      }
    }
    if (!messo) errore(errore_compilazione::manca_punto_prima_del_rallentamento, i);
  }
}

// Step C: inside a slow slowdown, a code point every 8 cells from the start.
// A point put one cell early or late moves the next one with it. Returns the
// cell where the walk stopped: the slowdown's end cell, or the last cell when
// there is none.
int64_t punti_dentro_il_rallentamento(tracciato& t, int64_t i, const segnalatore& errore) {
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
    if (t.e_libera(j)) {
      t.metti_punto(j);
      contatore = 0;
    } else if (t.e_libera(j - 1)) {
      t.metti_punto(j - 1);
      contatore = 1;
    } else if (t.e_libera(j + 1)) {
      t.metti_punto(j + 1);
      contatore = -1;
    } else {
      // The counter stays at 8: this slowdown gets no further points.
      errore(errore_compilazione::manca_punto_nel_rallentamento, j);
    }
  } while (j < t.ultima() && !t.di_tipo(j, tipo_cella::fine_rallentamento));
  return j;
}

// Step D: a code point just before the first signal within 12 cells of the
// slowdown's end.
void punto_prima_del_segnale(tracciato& t, int64_t j, const segnalatore& errore) {
  const int64_t limite = std::min(j + 12, t.ultima());
  for (int64_t s = j; s <= limite; ++s) {
    if (!t.di_tipo(s, tipo_cella::segnale)) continue;
    if (s - 1 <= 0) return;
    const int64_t c = s - 1;
    if (t.e_libera(c)) {
      t.metti_punto(c);
    } else if (t.e_libera(c - 1)) {
      t.metti_punto(c - 1);
    } else {
      errore(errore_compilazione::manca_punto_nel_rallentamento, j);
    }
    return;
  }
}

}  // namespace

int32_t compilatore::minimo(int32_t x, int32_t y) { return x > y ? y : x; }

void compilatore::completa_celle() {
  tracciato t(celle, ultima_cella);
  const segnalatore errore{*this};
  // Fixed before the scan: the last two cells are never looked at.
  const int64_t ultima_esaminata = t.ultima() - 2;
  for (int64_t i = 1; i <= ultima_esaminata; ++i) {
    if (t[i].tipo == tipo_cella::avviso_rallentamento) {
      segnali_prima_dell_avviso(t, i, errore);
    } else if (t[i].tipo == tipo_cella::inizio_rallentamento) {
      punti_prima_dell_inizio(t, i, errore);
      const int64_t fine = punti_dentro_il_rallentamento(t, i, errore);
      punto_prima_del_segnale(t, fine, errore);
    }
  }
}
