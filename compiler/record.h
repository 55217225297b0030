// The compiled records: what the simulator loads, held in memory in the
// exact widths of their fields. The byte layouts on disk are in file_compilati.h.
#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "compiler/passo_piano.h"

// The longest line the compiler takes, in metres.
inline constexpr int32_t lunghezza_massima = 1000000;
// The most scenery spans a line may have; they are kept from index 1.
inline constexpr int32_t montagne_massime = 80;

// One track cell: 50 m of the run. 15 bytes on disk.
struct cella {
  uint8_t tipo = 0;  // kind of line-side object, see tipo_cella
  int16_t dato1 = 0;
  int16_t dato2 = 0;
  int16_t dato3 = 0;
  int16_t dato4 = 0;
  uint8_t dato5 = 0;     // signal time
  uint8_t dato6 = 0;     // approach mark before a signal or a stop
  uint8_t montagna = 0;  // scenery span kind
  uint8_t velocita = 0;  // speed limit in force, 5 km/h units
  uint8_t pendenza = 0;  // gradient in force + 100
  uint8_t aderenza = 0;  // adhesion value in force
};

// Values of cella::tipo, each with the name the compiler gives it.
// X(nome, valore): one row for each kind.
#define TIPI_DI_CELLA(X)     \
  X(libera, 0)               \
  X(segnale, 1)              \
  X(fine_rallentamento, 2)   \
  X(inizio_rallentamento, 3) \
  X(avviso_rallentamento, 4) \
  X(segno_avviso, 5)         \
  X(indicatore_v_max, 6)     \
  X(fermata, 10)             \
  X(marca_montagna, 11)      \
  X(punto_codice, 12)        \
  X(punto_senza_codice, 13)  \
  X(cartello, 14)

namespace tipo_cella {
#define TIPO_VALORE(nome, valore) inline constexpr uint8_t nome = valore;
TIPI_DI_CELLA(TIPO_VALORE)
#undef TIPO_VALORE
}  // namespace tipo_cella

// The name of a kind ("segnale"), or an empty text for a value no kind has.
constexpr std::string_view nome_tipo_cella(uint8_t tipo) {
  switch (tipo) {
#define TIPO_NOME(nome, valore) \
  case tipo_cella::nome:        \
    return #nome;
    TIPI_DI_CELLA(TIPO_NOME)
#undef TIPO_NOME
    default:
      return {};
  }
}

// Free for a placement: nothing there but, at most, a scenery marker.
inline bool libera(const cella& c) {
  return c.tipo == tipo_cella::libera || c.tipo == tipo_cella::marca_montagna;
}

// The entries of tabella_corsa. Stations take entries upward from the first
// station's and board texts downward from the first board's, towards each
// other; the entries above the boards hold the line's and the train's values.
inline constexpr int voci_tabella_corsa = 87;
namespace voce_tabella {
inline constexpr int prima_stazione = 1;
inline constexpr int primo_cartello = 80;
// The three kilometre-progressive segments: inizio = start (m), fine =
// progressive value (m), progressiva = direction code; read as "tre", "due",
// "uno", then put in order by progressive_ordina.
inline constexpr int primo_segmento = 81;
inline constexpr int secondo_segmento = 82;
inline constexpr int terzo_segmento = 83;
// inizio = braked-mass percentage, fine = line length (m), progressiva = cars.
inline constexpr int lunghezza = 84;
// inizio, progressiva, fine = backgrounds one, two, three; nome = scenario
// name; intero1 = format code; orario = scenario code.
inline constexpr int scenario = 85;
// inizio, fine, progressiva = cab-signal repetition section and its codes;
// nome = train number; intero1 = sand; intero3..intero5 = start clock.
inline constexpr int treno = 86;
}  // namespace voce_tabella

// The header cell of the track: its dato1 and dato2 carry the format code
// and the scenario code, so no object may stand in it.
inline constexpr size_t cella_intestazione = 1;

// The format codes that the simulator checks in the header slots.
inline constexpr int16_t formato_tracciato = 5121;  // cell 1, dato1
inline constexpr int16_t formato_tabella = 610;     // the scenario's entry, intero1

// One entry of tabella_corsa: a station, a board text or a reserved entry.
struct voce_corsa {
  uint8_t tipo = 0;
  int32_t inizio = 0;
  int32_t fine = 0;
  int32_t progressiva = 0;
  uint8_t byte1 = 0;
  std::string nome;  // bytes as read from the sources (Windows-1252)
  int16_t intero1 = 0;
  int16_t intero2 = 0;
  int16_t intero3 = 0;
  int16_t intero4 = 0;
  int16_t intero5 = 0;
  uint8_t byte2 = 0;
  uint8_t byte3 = 0;
  uint8_t byte4 = 0;
  uint8_t byte5 = 0;
  int32_t orario = 0;  // seconds after midnight
  friend bool operator==(const voce_corsa&, const voce_corsa&) = default;
};

// Text fields of a voce_corsa carry a 16-bit length: a longer text cannot be stored.
inline constexpr size_t testo_massimo = 32767;

// Type codes of a tagged value in the line file.
namespace tipo_valore {
inline constexpr uint16_t vuoto = 0;
inline constexpr uint16_t intero = 2;  // 16-bit Integer
inline constexpr uint16_t doppio = 5;  // IEEE 754 Double
}  // namespace tipo_valore

// The per-metre plan: two coordinates for each metre 0..ultimo(), each a
// tagged value (empty, Integer or Double).
//
// The line reader gives it as what determines it: points 0 and 1, then the
// stretches it asks for, each a run of straight or arc steps up to a given
// point. Points 0..prossimo()-1 exist, the rest are empty; points past
// ultimo() are never stored, though the steps that reach them are kept, so
// prossimo() counts on as the reader's ceiling needs. The values are computed
// afresh each time they are walked: a walk costs less than holding
// 2 x (L + 7001) values, whose memory alone takes longer to map.
//
// Random access (tipo, valore) and values set one at a time (the tools that
// read a line file back) work on a copy of every value, made on first use.
// Once a value has been set by hand that copy is the plan.
class punti_piano {
 public:
  void crea(int32_t ultimo);  // bounds (0 To ultimo, 0 To 1), every element empty
  void libera_tutto();
  bool esiste() const { return ultimo_ >= 0; }
  int32_t ultimo() const { return ultimo_; }

  // Points 0 and 1 as Integers; the next point to compute is then 2.
  void inizia(int16_t x0, int16_t y0, int16_t x1, int16_t y1);
  // Steps up to and including point `fino`, each from the two points before
  // it; nothing when `fino` lies before prossimo().
  void dritto_fino(int64_t fino);
  // The direction (dx, dy) is turned by k each metre, towards positive x for
  // a positive k, without being normalised.
  void curva_fino(int64_t fino, double k);
  int64_t prossimo() const { return prossimo_; }

  uint16_t tipo(int32_t m, int k) const {
    const size_t i = indice(m, k);
    return in_memoria().tipi[i];
  }
  double valore(int32_t m, int k) const {
    const size_t i = indice(m, k);
    return in_memoria().valori[i];
  }
  void metti_intero(int32_t m, int k, int16_t v);
  void metti_doppio(int32_t m, int k, double v);
  // Whether the copy of every value is held (the tests' window on the memory).
  bool tenuto_in_memoria() const { return copia_.has_value(); }

  // Calls visita(tipo_x, x, tipo_y, y) for every metre, 0 to ultimo(), in
  // order (value 0 for an empty element): one walk gives both coordinates.
  // Between runs of at most metri_per_blocco visits it calls pausa(). The
  // steps are a chain of dependent additions: a visitor that calls nothing
  // out of line keeps the chain's values in registers, and its work on each
  // pair fits in the time the next step waits for them. Anything else (a
  // full buffer handed on) belongs in pausa().
  static constexpr int64_t metri_per_blocco = 512;
  template <typename F, typename P>
  void percorri(F&& visita, P&& pausa) const;
  template <typename F>
  void percorri(F&& visita) const {
    percorri(std::forward<F>(visita), [] {});
  }
  // How many elements of coordinate k are of the given kind.
  size_t quanti(int k, uint16_t tipo) const;

 private:
  struct tratto {
    int64_t fino;  // the last point it reaches
    bool curva;    // arc steps, or straight ones
    double k;      // curvature of the arc steps
  };
  struct valori_in_memoria {
    std::vector<uint8_t> tipi;
    std::vector<double> valori;
  };

  using passo = passo_piano;

  void aggiungi(int64_t fino, bool curva, double k);
  // Calls punto(x, y) for every stored computed point, 2 to the last one, in
  // order, and pausa() after each run of at most metri_per_blocco of them.
  template <typename F, typename P>
  void ripeti(F&& punto, P&& pausa) const;
  const valori_in_memoria& in_memoria() const;
  size_t indice(int32_t m, int k) const;

  int32_t ultimo_ = -1;
  int64_t prossimo_ = 0;
  int16_t inizio_[2][2] = {};  // points 0 and 1: [m][k]
  std::vector<tratto> tratti_;
  mutable std::optional<valori_in_memoria> copia_;
  bool a_mano_ = false;  // values set one at a time: the copy is the plan
};

template <typename F, typename P>
void punti_piano::ripeti(F&& punto, P&& pausa) const {
  const int64_t ultimo_calcolato = std::min<int64_t>(prossimo_ - 1, ultimo_);
  passo p{static_cast<double>(inizio_[1][0]), static_cast<double>(inizio_[1][1]),
          static_cast<double>(inizio_[0][0]), static_cast<double>(inizio_[0][1])};
  int64_t m = 2;
  for (const tratto& t : tratti_) {
    const int64_t fino = std::min(t.fino, ultimo_calcolato);
    while (m <= fino) {
      const int64_t fine_blocco = std::min(fino, m + metri_per_blocco - 1);
      if (t.curva) {
        for (; m <= fine_blocco; ++m) {
          p.curva(t.k);
          punto(p.x1, p.y1);
        }
      } else {
        for (; m <= fine_blocco; ++m) {
          p.dritto();
          punto(p.x1, p.y1);
        }
      }
      pausa();
    }
    if (m > ultimo_calcolato) return;
  }
}

template <typename F, typename P>
void punti_piano::percorri(F&& visita, P&& pausa) const {
  const int64_t n = static_cast<int64_t>(ultimo_) + 1;
  if (copia_) {
    const size_t meta = static_cast<size_t>(n);
    for (int64_t m = 0; m < n;) {
      for (const int64_t fine = std::min(n, m + metri_per_blocco); m < fine; ++m) {
        const size_t i = static_cast<size_t>(m);
        visita(copia_->tipi[i], copia_->valori[i], copia_->tipi[meta + i],
               copia_->valori[meta + i]);
      }
      pausa();
    }
    return;
  }
  const int64_t esistenti = std::min<int64_t>(prossimo_, n);
  for (int64_t m = 0; m < std::min<int64_t>(esistenti, 2); ++m)
    visita(tipo_valore::intero, static_cast<double>(inizio_[m][0]), tipo_valore::intero,
           static_cast<double>(inizio_[m][1]));
  pausa();
  ripeti([&visita](double x, double y) { visita(tipo_valore::doppio, x, tipo_valore::doppio, y); },
         pausa);
  for (int64_t m = esistenti; m < n;) {
    for (const int64_t fine = std::min(n, m + metri_per_blocco); m < fine; ++m)
      visita(tipo_valore::vuoto, 0.0, tipo_valore::vuoto, 0.0);
    pausa();
  }
}
