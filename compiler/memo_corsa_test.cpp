// The storers of the run's line-side equipment: signals and slowdowns.
#include <gtest/gtest.h>

#include <vector>

#include "testing/compilazione_prova.h"

namespace {

// Cells 0..n, as the line reader sizes them.
void dimensiona(compilatore& f, int32_t n) {
  f.celle.assign(static_cast<size_t>(n) + 1, cella{});
  f.ultima_cella = n;
}

// Indices of the cells that hold an object.
std::vector<int> occupate(const compilatore& f) {
  std::vector<int> r;
  for (size_t i = 0; i < f.celle.size(); ++i)
    if (f.celle[i].tipo != tipo_cella::libera) r.push_back(static_cast<int>(i));
  return r;
}

// --- Signals ---

struct segnale {
  int32_t posizione, sx, s1, s2, s3, rapp, dx, d1, d2, d3, tempo;
};

// Stores the signal and gives back tempo as the storer left it.
int32_t memo_s(compilatore& f, segnale s) {
  f.memo_segnale(s.posizione, s.sx, s.s1, s.s2, s.s3, s.rapp, s.dx, s.d1, s.d2, s.d3, s.tempo);
  return s.tempo;
}

TEST(MemoSegnale, CellaValoriESegniDAvvicinamento) {
  compilazione_prova p;
  dimensiona(p.compilazione, 2620);
  p.compilazione.celle[199].tipo = tipo_cella::fermata;  // the marks go on whatever the cell holds
  p.compilazione.celle[200].dato6 = 55;
  memo_s(p.compilazione, {10000, 2, 4, 1, 1, 0, 2, 2, 1, 1, 210});
  EXPECT_EQ(p.compilazione.problema.codice, 0);
  EXPECT_EQ(occupate(p.compilazione), (std::vector<int>{199, 201}));
  const cella& c = p.compilazione.celle[201];
  EXPECT_EQ(c.tipo, tipo_cella::segnale);
  EXPECT_EQ(c.dato1, 42);
  EXPECT_EQ(c.dato2, 11);
  EXPECT_EQ(c.dato3, 11);
  EXPECT_EQ(c.dato4, 8);
  EXPECT_EQ(c.dato5, 210);
  EXPECT_EQ(p.compilazione.celle[199].dato6, 81);
  EXPECT_EQ(p.compilazione.celle[197].dato6, 82);
  EXPECT_EQ(p.compilazione.celle[195].dato6, 83);
  EXPECT_EQ(p.compilazione.celle[193].dato6, 84);
  EXPECT_EQ(p.compilazione.celle[199].tipo, tipo_cella::fermata);
  EXPECT_EQ(p.compilazione.celle[200].dato6, 55);
  EXPECT_EQ(p.compilazione.celle[191].dato6, 0);
  EXPECT_EQ(c.dato6, 0);
}

TEST(MemoSegnale, ValoriNeiCampiDiSedicieOttoBit) {
  compilazione_prova p;
  dimensiona(p.compilazione, 2620);
  memo_s(p.compilazione, {10000, 1, 4000, -1, 0, 7, 30, 0, 0, 0, 0});
  const cella& c = p.compilazione.celle[201];
  EXPECT_EQ(c.dato1, -25536);  // 40000 keeps its low 16 bits
  EXPECT_EQ(c.dato2, -10);
  EXPECT_EQ(c.dato4, 7 * 10 + 3 + 30);
  EXPECT_EQ(p.compilazione.celle[199].dato6, (33 * 10 + 1) & 0xFF);
}

TEST(MemoSegnale, Tempo) {
  struct caso {
    int32_t sx, tempo;
    int32_t tempo_dopo;
    uint8_t dato5;
  };
  const caso casi[] = {
      {2, 50, 101, 101},  {2, 1, 101, 101}, {2, 100, 101, 101}, {2, 101, 101, 101},
      {2, 225, 225, 225}, {2, 0, 0, 0},     {2, -5, -5, 251},   {2, 300, 300, 44},
      {1, 50, 101, 0},    {1, 225, 225, 0},
  };
  for (const caso& c : casi) {
    compilazione_prova p;
    dimensiona(p.compilazione, 2620);
    EXPECT_EQ(memo_s(p.compilazione, {10000, c.sx, 0, 0, 0, 0, 0, 0, 0, 0, c.tempo}), c.tempo_dopo)
        << c.sx << " " << c.tempo;
    EXPECT_EQ(p.compilazione.celle[201].dato5, c.dato5) << c.sx << " " << c.tempo;
  }
}

TEST(MemoSegnale, CellaNonLiberaOFuoriDalTracciato) {
  struct caso {
    const char* nome;
    int32_t posizione;
    uint8_t tipo_presente;  // in cell 21
    int codice;
  };
  const caso casi[] = {
      {"su una marca di montagna", 1000, tipo_cella::marca_montagna, 0},
      {"su una fermata", 1000, tipo_cella::fermata, 16},
      {"su un altro segnale", 1000, tipo_cella::segnale, 16},
      {"dopo l'ultima cella", 100 * 50, tipo_cella::libera, 16},
      {"a posizione negativa", -100, tipo_cella::libera, 16},
  };
  for (const caso& c : casi) {
    compilazione_prova p;
    dimensiona(p.compilazione, 100);
    p.compilazione.celle[21].tipo = c.tipo_presente;
    int32_t tempo = memo_s(p.compilazione, {c.posizione, 2, 1, 1, 1, 1, 1, 1, 1, 1, 50});
    EXPECT_EQ(p.compilazione.problema.codice, c.codice) << c.nome;
    if (c.codice == 0) {
      EXPECT_EQ(p.compilazione.celle[21].tipo, tipo_cella::segnale) << c.nome;
      continue;
    }
    EXPECT_EQ(tempo, 50) << c.nome;
    ASSERT_EQ(p.compilazione.celle.size(), 101u);
    for (const cella& z : p.compilazione.celle) {
      EXPECT_EQ(z.dato6, 0) << c.nome;
      EXPECT_EQ(z.dato1, 0) << c.nome;
    }
  }
}

TEST(MemoSegnale, SegniPrimaDellaCellaZeroTralasciati) {
  compilazione_prova p;
  dimensiona(p.compilazione, 100);
  memo_s(p.compilazione, {200, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0});  // cell 5: marks 3, 1, -1, -3
  EXPECT_EQ(p.compilazione.problema.codice, 0);
  EXPECT_EQ(p.compilazione.celle[5].tipo, tipo_cella::segnale);
  EXPECT_EQ(p.compilazione.celle[3].dato6, 31);
  EXPECT_EQ(p.compilazione.celle[1].dato6, 32);
  EXPECT_EQ(p.compilazione.celle[0].dato6, 0);
  EXPECT_EQ(p.compilazione.celle.size(), 101u);

  memo_s(p.compilazione, {99 * 50, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0});  // the very last cell
  EXPECT_EQ(p.compilazione.problema.codice, 0);
  EXPECT_EQ(p.compilazione.celle[100].tipo, tipo_cella::segnale);
}

// --- Slowdowns ---

struct rallentamento {
  int32_t x, v, l, f_tt, f_ta, d_v;
};

void memo_r(compilatore& f, rallentamento r) {
  f.memo_rallentamento(r.x, r.v, r.l, r.f_tt, r.f_ta, r.d_v);
}

TEST(MemoRallentamento, AvvisoESegniSoloOltre1500Metri) {
  struct caso {
    rallentamento r;
    std::vector<int> occupate;  // ascending
  };
  const caso casi[] = {
      {{1500, 60, 1000, 0, 1, 0}, {31, 51}},
      {{1550, 60, 1000, 0, 0, 0}, {8, 32, 52}},
      {{1550, 60, 1000, 0, 1, 0}, {4, 5, 6, 7, 8, 32, 52}},
      {{5000, 60, 10, 0, 0, 0}, {77, 101}},  // start and end in one cell
  };
  for (const caso& c : casi) {
    compilazione_prova p;
    dimensiona(p.compilazione, 2620);
    memo_r(p.compilazione, c.r);
    EXPECT_EQ(p.compilazione.problema.codice, 0) << c.r.x;
    EXPECT_EQ(occupate(p.compilazione), c.occupate) << c.r.x;
  }
}

TEST(MemoRallentamento, ValoriDelleCelle) {
  compilazione_prova p;
  dimensiona(p.compilazione, 2620);
  p.compilazione.celle[8].dato3 = 99;
  memo_r(p.compilazione, {1550, 60, 1000, 7, 1, 3});
  const auto& z = p.compilazione.celle;
  EXPECT_EQ(z[32].tipo, tipo_cella::inizio_rallentamento);
  EXPECT_EQ(z[52].tipo, tipo_cella::fine_rallentamento);
  EXPECT_EQ(z[8].tipo, tipo_cella::avviso_rallentamento);
  for (int i : {32, 52}) {
    EXPECT_EQ(z[i].dato1, 60) << i;
    EXPECT_EQ(z[i].dato2, 3) << i;
    EXPECT_EQ(z[i].dato3, 7) << i;
  }
  EXPECT_EQ(z[8].dato1, 60);
  EXPECT_EQ(z[8].dato2, 3);
  EXPECT_EQ(z[8].dato3, 99);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(z[7 - i].tipo, tipo_cella::segno_avviso) << i;
    EXPECT_EQ(z[7 - i].dato1, i + 1) << i;
    EXPECT_EQ(z[7 - i].dato2, i + 1) << i;
  }
}

TEST(MemoRallentamento, DvNulloLasciaDato2) {
  compilazione_prova p;
  dimensiona(p.compilazione, 2620);
  for (cella& c : p.compilazione.celle) c.dato2 = -9;
  memo_r(p.compilazione, {1550, 60, 1000, 7, 1, 0});
  for (int i : {4, 5, 6, 7, 8, 32, 52}) EXPECT_EQ(p.compilazione.celle[i].dato2, -9) << i;
  EXPECT_EQ(p.compilazione.celle[5].dato1, 3);
}

TEST(MemoRallentamento, RifiutiPrimaDiScrivere) {
  struct caso {
    const char* nome;
    rallentamento r;
    int cella_occupata;  // -1: none
    uint8_t tipo;        // what it holds
    int codice;
  };
  constexpr uint8_t cartello = tipo_cella::cartello;
  const caso casi[] = {
      {"avviso occupato", {1550, 60, 1000, 0, 1, 3}, 8, cartello, 17},
      {"inizio occupato", {1550, 60, 1000, 0, 1, 3}, 32, cartello, 18},
      {"fine occupata", {1550, 60, 1000, 0, 1, 3}, 52, cartello, 19},
      {"inizio occupato sotto 1500 m", {1000, 60, 1000, 0, 1, 3}, 21, cartello, 18},
      {"avviso da controllare solo oltre 1500 m", {1500, 60, 1000, 0, 1, 3}, 7, cartello, 0},
      {"marca di montagna sull'avviso",
       {1550, 60, 1000, 0, 1, 3},
       8,
       tipo_cella::marca_montagna,
       0},
      {"marca di montagna su un segno",
       {1550, 60, 1000, 0, 1, 3},
       4,
       tipo_cella::marca_montagna,
       0},
      {"fine oltre l'ultima cella", {4000, 60, 1000, 0, 1, 3}, -1, cartello, 19},
      {"inizio oltre l'ultima cella", {5000, 60, 10, 0, 1, 3}, -1, cartello, 18},
      {"inizio a posizione negativa", {-200, 60, 100, 0, 1, 3}, -1, cartello, 18},
  };
  for (const caso& c : casi) {
    compilazione_prova p;
    dimensiona(p.compilazione, 100);
    if (c.cella_occupata >= 0) p.compilazione.celle[c.cella_occupata].tipo = c.tipo;
    memo_r(p.compilazione, c.r);
    EXPECT_EQ(p.compilazione.problema.codice, c.codice) << c.nome;
    if (c.codice == 0) continue;
    std::vector<int> attese;
    if (c.cella_occupata >= 0) attese.push_back(c.cella_occupata);
    EXPECT_EQ(occupate(p.compilazione), attese) << c.nome;
    for (const cella& z : p.compilazione.celle) EXPECT_EQ(z.dato1, 0) << c.nome;
  }
}

TEST(MemoRallentamento, SegnoSuUnSegnaleLasciaInizioFineEAvviso) {
  compilazione_prova p;
  dimensiona(p.compilazione, 2620);
  p.compilazione.celle[5].tipo = tipo_cella::segnale;
  memo_r(p.compilazione, {1550, 60, 1000, 7, 1, 3});
  EXPECT_EQ(p.compilazione.problema.codice, 20);
  EXPECT_EQ(occupate(p.compilazione), (std::vector<int>{5, 8, 32, 52}));
  EXPECT_EQ(p.compilazione.celle[32].dato1, 60);
  EXPECT_EQ(p.compilazione.celle[52].dato3, 7);
  EXPECT_EQ(p.compilazione.celle[8].dato1, 60);
  for (int i : {4, 6, 7}) EXPECT_EQ(p.compilazione.celle[i].dato1, 0) << i;
}

TEST(MemoRallentamento, AvvisoSulPrimoSegnoPerArrotondamento) {
  // At 1575 m the board cell is round(8.5) = 8 and the first mark cell
  // round(7.5) = 8: the board, once written, takes the mark's cell.
  compilazione_prova p;
  dimensiona(p.compilazione, 2620);
  memo_r(p.compilazione, {1575, 60, 1000, 0, 1, 0});
  EXPECT_EQ(p.compilazione.problema.codice, 20);
  EXPECT_EQ(occupate(p.compilazione), (std::vector<int>{8, 32, 52}));
  EXPECT_EQ(p.compilazione.celle[8].tipo, tipo_cella::avviso_rallentamento);
}

}  // namespace
