#include <gtest/gtest.h>

#include <vector>

#include "testing/compilazione_prova.h"

namespace {

using namespace tipo_cella;

// A compiler with a bare track of cells 0..ultima, laid out by hand.
struct pista {
  compilazione_prova p;
  compilatore& f = p.compilazione;

  explicit pista(int32_t ultima = 140) {
    f.ultima_cella = ultima;
    f.celle.assign(ultima + 1, cella{});
  }
  cella& operator[](int c) { return f.celle.at(c); }
  void metti(int c, uint8_t tipo, int16_t dato1 = 0) {
    f.celle.at(c).tipo = tipo;
    f.celle.at(c).dato1 = dato1;
  }
  void metti(const std::vector<int>& cc, uint8_t tipo) {
    for (int c : cc) metti(c, tipo);
  }
  // A slowdown at `velocita` km/h from cell `inizio` to cell `fine`.
  void rallentamento(int inizio, int fine, int16_t velocita) {
    metti(inizio, inizio_rallentamento, velocita);
    metti(fine, fine_rallentamento, velocita);
  }
  // Cells holding a code point with the code the post-pass gives.
  std::vector<int> punti() const {
    std::vector<int> r;
    for (size_t c = 0; c < f.celle.size(); ++c)
      if (f.celle[c].tipo == punto_codice && f.celle[c].dato1 == 180)
        r.push_back(static_cast<int>(c));
    return r;
  }
  void completa() { f.completa_celle(); }
};

using celle_attese = std::vector<int>;

// Step B alone: slowdowns of 110 km/h over two cells, no signal after them.
TEST(PuntiPrimaDellInizio, FinestreSecondoLaCellaDiInizio) {
  struct caso {
    int inizio;
    std::vector<int> occupate;
    celle_attese attese;
    int32_t errore;
  };
  const caso casi[] = {
      {7, {}, {}, 0},
      {8, {}, {3}, 0},
      {14, {}, {3, 9}, 0},
      {21, {}, {3, 10, 16}, 0},
      {21, {16}, {3, 10, 15}, 0},
      {21, {16, 15}, {3, 10, 14}, 0},
      // A full window is reported and the farther windows still get theirs.
      {21, {16, 15, 14}, {3, 10}, 12},
      {21, {10, 9, 8}, {3, 16}, 12},
  };
  for (const caso& c : casi) {
    pista t;
    t.rallentamento(c.inizio, c.inizio + 2, 110);
    t.metti(c.occupate, cartello);
    t.completa();
    EXPECT_EQ(t.punti(), c.attese) << "start " << c.inizio;
    EXPECT_EQ(t.f.problema.codice, c.errore) << "start " << c.inizio;
    if (c.errore) {
      EXPECT_EQ(t.f.problema.posizione, c.inizio * 50);
    }
  }
}

TEST(PuntiPrimaDellInizio, IlPuntoLasciaGliAltriCampiDellaCella) {
  pista t;
  t.rallentamento(30, 32, 110);
  t[25] = cella{marca_montagna, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
  t.completa();
  const cella& c = t[25];
  EXPECT_EQ(c.tipo, punto_codice);
  EXPECT_EQ(c.dato1, 180);
  EXPECT_EQ((std::vector<int>{c.dato2, c.dato3, c.dato4, c.dato5, c.dato6, c.montagna, c.velocita,
                              c.pendenza, c.aderenza}),
            (std::vector<int>{8, 9, 10, 11, 12, 13, 14, 15, 16}));
}

// Step A: a warning board at cell 40 and a signal at 38.
TEST(SegnaliPrimaDellAvviso, LeDueCellePrimaDelSegnale) {
  struct caso {
    const char* nome;
    cella c37, c36;
    int16_t dato1_37, dato1_36;
    int32_t errore;
  };
  const cella vuota{};
  const cella montagna{marca_montagna};
  const cella oggetto{cartello, 79};
  const cella codice270{punto_codice, 270};
  const cella codice100{punto_codice, 100};
  const caso casi[] = {
      {"d-1 free", vuota, vuota, 180, 0, 0},
      {"d-1 scenery marker", montagna, oggetto, 180, 79, 0},
      {"d-1 taken, d-2 free", oggetto, vuota, 79, 180, 0},
      {"d-1 code 270 lowered", codice270, oggetto, 180, 79, 0},
      {"d-1 code 100 kept", codice100, oggetto, 100, 79, 0},
      {"d-2 code 270 lowered", oggetto, codice270, 79, 180, 0},
      {"both taken", oggetto, oggetto, 79, 79, 11},
  };
  for (const caso& c : casi) {
    pista t;
    t.metti(40, avviso_rallentamento, 60);
    t.metti(38, segnale, 42);
    t[37] = c.c37;
    t[36] = c.c36;
    t.f.problema.file = "corsa";
    t.f.problema.riga = 12;
    t.completa();
    EXPECT_EQ(t[37].dato1, c.dato1_37) << c.nome;
    EXPECT_EQ(t[36].dato1, c.dato1_36) << c.nome;
    EXPECT_EQ(t[38].dato1, 42) << c.nome;
    EXPECT_EQ(t.f.problema.codice, c.errore) << c.nome;
    if (c.errore) {
      EXPECT_EQ(t.f.problema.posizione, 38 * 50) << c.nome;
      EXPECT_EQ(t.f.problema.riga, 0) << "no longer a source row's error";
      EXPECT_TRUE(t.f.problema.file.empty());
    }
  }
}

TEST(SegnaliPrimaDellAvviso, OgniSegnaleNeiVentiCellePrima) {
  pista t;
  t.metti(40, avviso_rallentamento, 60);
  t.metti(38, segnale);
  t.metti(20, segnale);  // 20 cells before: handled
  t.metti(19, segnale);  // 21 cells before: out of range
  t.completa();
  // The signal at 20 finds its neighbour taken by the one at 19 and uses 18;
  // a point at 17 would mean the one at 19 was handled too.
  EXPECT_EQ(t.punti(), (celle_attese{18, 37}));
}

// Signals are looked for down to cell 3, so the two cells before them exist.
TEST(SegnaliPrimaDellAvviso, FinoAllaCellaTre) {
  struct caso {
    int segnale;
    std::vector<int> occupate;
    celle_attese attese;
    int32_t errore;
  };
  const caso casi[] = {
      {3, {}, {2}, 0},
      {3, {2}, {1}, 0},
      {3, {2, 1}, {}, 11},
      {2, {}, {}, 0},
  };
  for (const caso& c : casi) {
    pista t;
    t.metti(10, avviso_rallentamento, 60);
    t.metti(c.segnale, segnale);
    t.metti(c.occupate, cartello);
    t.completa();
    EXPECT_EQ(t.punti(), c.attese) << "signal " << c.segnale;
    EXPECT_EQ(t.f.problema.codice, c.errore) << "signal " << c.segnale;
    if (c.errore) {
      EXPECT_EQ(t.f.problema.posizione, 150);
    }
  }
}

// Step C: a slowdown from cell 30 to cell 50, then nothing but free cells.
// Step B always adds 25, 19 and 12.
TEST(PuntiDentroIlRallentamento, OgniOttoCelleSpostamentiRiportati) {
  struct caso {
    const char* nome;
    int fine;
    int16_t velocita;
    std::vector<int> occupate;
    celle_attese dentro;
    int32_t errore;
    int32_t posizione;
  };
  const caso casi[] = {
      {"100 km/h", 50, 100, {}, {38, 46}, 0, 0},
      {"109 km/h", 50, 109, {}, {38, 46}, 0, 0},
      {"110 km/h", 50, 110, {}, {}, 0, 0},
      {"one early", 50, 100, {38}, {37, 45}, 0, 0},
      {"one late", 50, 100, {38, 37}, {39, 47}, 0, 0},
      {"late then late", 60, 100, {38, 37, 47, 46}, {39, 48, 56}, 0, 0},
      {"no room", 60, 100, {38, 37, 39}, {}, 13, 38 * 50},
      // The end cell itself is not free: the point goes just before it.
      {"ends on a point", 38, 100, {}, {37}, 0, 0},
  };
  for (const caso& c : casi) {
    pista t;
    t.rallentamento(30, c.fine, c.velocita);
    t.metti(c.occupate, cartello);
    t.completa();
    celle_attese attese{12, 19, 25};
    attese.insert(attese.end(), c.dentro.begin(), c.dentro.end());
    EXPECT_EQ(t.punti(), attese) << c.nome;
    EXPECT_EQ(t.f.problema.codice, c.errore) << c.nome;
    EXPECT_EQ(t.f.problema.posizione, c.posizione) << c.nome;
  }
}

// Step D: a 110 km/h slowdown ending at cell 50; step B adds 25, 19 and 12.
TEST(PuntoPrimaDelSegnale, PrimoSegnaleEntroDodiciCelleDallaFine) {
  struct caso {
    const char* nome;
    std::vector<int> segnali;
    std::vector<int> occupate;
    celle_attese dopo;
    int32_t errore;
  };
  const caso casi[] = {
      {"free", {55}, {}, {54}, 0},
      {"one cell earlier", {55}, {54}, {53}, 0},
      {"no room", {55}, {54, 53}, {}, 13},
      {"last cell of the window", {62}, {}, {61}, 0},
      {"past the window", {63}, {}, {}, 0},
      {"only the first", {52, 58}, {}, {51}, 0},
      {"signal next to the end", {51}, {}, {49}, 0},
  };
  for (const caso& c : casi) {
    pista t;
    t.rallentamento(30, 50, 110);
    t.metti(c.segnali, segnale);
    t.metti(c.occupate, cartello);
    t.completa();
    celle_attese attese{12, 19, 25};
    attese.insert(attese.end(), c.dopo.begin(), c.dopo.end());
    EXPECT_EQ(t.punti(), attese) << c.nome;
    EXPECT_EQ(t.f.problema.codice, c.errore) << c.nome;
    if (c.errore) {
      EXPECT_EQ(t.f.problema.posizione, 50 * 50) << c.nome;
    }
  }
}

// Near the end of the track every walk and search stops at the last cell.
// Run under the address sanitizer these also prove that nothing outside the
// cells is touched.
TEST(FineDelTracciato, CamminiFermatiAllUltimaCella) {
  struct caso {
    const char* nome;
    int inizio, fine;  // fine 0: the slowdown has no end cell
    int16_t velocita;
    std::vector<int> segnali, occupate;
    celle_attese dopo;  // points after the start cell
    int32_t errore;
    int32_t posizione;
  };
  const caso casi[] = {
      {"ends in the last cells, signal on the last", 135, 139, 50, {140}, {}, {138}, 0, 0},
      {"no end cell", 130, 0, 50, {}, {}, {138}, 0, 0},
      {"no end cell, nowhere to shift", 132, 0, 50, {}, {140, 139}, {}, 13, 140 * 50},
      {"no end cell, fast, signal on the last", 130, 0, 120, {140}, {}, {139}, 0, 0},
      {"last cell scanned", 138, 0, 120, {140}, {}, {139}, 0, 0},
  };
  for (const caso& c : casi) {
    pista t(140);
    t.metti(c.inizio, inizio_rallentamento, c.velocita);
    if (c.fine) t.metti(c.fine, fine_rallentamento, c.velocita);
    t.metti(c.segnali, segnale);
    t.metti(c.occupate, cartello);
    t.completa();
    celle_attese attese{c.inizio - 18, c.inizio - 11, c.inizio - 5};
    attese.insert(attese.end(), c.dopo.begin(), c.dopo.end());
    EXPECT_EQ(t.punti(), attese) << c.nome;
    EXPECT_EQ(t.f.problema.codice, c.errore) << c.nome;
    EXPECT_EQ(t.f.problema.posizione, c.posizione) << c.nome;
  }
}

TEST(FineDelTracciato, LeUltimeDueCelleNonSonoEsaminate) {
  pista t(140);
  t.metti(139, inizio_rallentamento, 50);
  t.metti(140, avviso_rallentamento, 50);
  t.metti(138, segnale);
  t.completa();
  EXPECT_TRUE(t.punti().empty());
  EXPECT_EQ(t.f.problema.codice, 0);
}

// A start cell without its own end walks on to the next slowdown's end,
// placing points on the way; the later slowdown is still handled itself.
TEST(FineDelTracciato, SenzaFineProsegueFinoAllaFineSeguente) {
  pista t;
  t.metti(30, inizio_rallentamento, 50);
  t.rallentamento(50, 60, 110);
  t.completa();
  EXPECT_EQ(t.punti(), (celle_attese{12, 19, 25, 32, 38, 39, 45, 46, 54}));
}

}  // namespace
