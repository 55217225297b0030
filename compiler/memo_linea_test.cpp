// The storers of the line features: progressive segments, mountain spans and
// speed indicator boards.
#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "compiler/errore_lettura.h"
#include "testing/compilazione_prova.h"

namespace {

// Cells 0..n, as the line reader sizes them.
void dimensiona(compilatore& f, int32_t n) {
  f.celle.assign(static_cast<size_t>(n) + 1, cella{});
  f.ultima_cella = n;
}

struct terna {
  int32_t inizio, fine, progressiva;
  bool operator==(const terna&) const = default;
};

terna di(const voce_corsa& v) { return {v.inizio, v.fine, v.progressiva}; }

TEST(ProgressiveOrdina, OrdineEAggiustamento) {
  struct caso {
    const char* nome;
    terna tre, due, uno;  // as read into 81, 82, 83
    terna e81, e82, e83;  // expected afterwards
  };
  const terna zero{0, 0, 0};
  const caso casi[] = {
      {"dati portati: resta T, D, U, +100 ai codici 1",
       {54500, 118750, 1},
       {39100, 135150, 1},
       {0, 39050, 1},
       {54500, 118850, 1},
       {39100, 135250, 1},
       {0, 39150, 1}},
      {"D piu' grande, poi U, poi T",
       {0, 10, 2},
       {54500, 20, 2},
       {39100, 30, 2},
       {54500, 20, 2},
       {39100, 30, 2},
       {0, 10, 2}},
      {"U piu' grande, poi T, poi D",
       {200, 10, 2},
       {100, 20, 2},
       {300, 30, 2},
       {300, 30, 2},
       {200, 10, 2},
       {100, 20, 2}},
      {"T piu' grande, U sopra D",
       {300, 10, 2},
       {100, 20, 2},
       {200, 30, 2},
       {300, 10, 2},
       {200, 30, 2},
       {100, 20, 2}},
      {"T piu' grande, D e U pari: U poi D",
       {300, 10, 2},
       {100, 20, 2},
       {100, 30, 2},
       {300, 10, 2},
       {100, 30, 2},
       {100, 20, 2}},
      {"D piu' grande, T e U pari: U poi T",
       {100, 10, 2},
       {300, 20, 2},
       {100, 30, 2},
       {300, 20, 2},
       {100, 30, 2},
       {100, 10, 2}},
      {"U piu' grande, T e D pari: D poi T",
       {100, 10, 2},
       {100, 20, 2},
       {300, 30, 2},
       {300, 30, 2},
       {100, 20, 2},
       {100, 10, 2}},
      {"massimo condiviso: tutto a zero", {100, 10, 1}, {100, 20, 1}, {0, 30, 1}, zero, zero, zero},
      {"inizi nulli, solo uno: uno in testa", zero, zero, {0, 39050, 1}, {0, 39150, 1}, zero, zero},
      {"inizi nulli, uno e due: U, D, T",
       {0, 5, 2},
       {0, 6, 2},
       {0, 7, 2},
       {0, 7, 2},
       {0, 6, 2},
       {0, 5, 2}},
      {"inizi nulli, solo due e tre: D, T, U",
       {0, 5, 2},
       {0, 6, 2},
       {0, -7, 2},
       {0, 6, 2},
       {0, 5, 2},
       {0, -7, 2}},
      {"inizi nulli, solo tre: invariato",
       {0, 5, 2},
       {0, 0, 2},
       {0, -7, 2},
       {0, 5, 2},
       {0, 0, 2},
       {0, -7, 2}},
      {"nessuna progressiva positiva: tutto a zero",
       {0, 0, 1},
       {0, -6, 1},
       {0, 0, 1},
       zero,
       zero,
       zero},
      {"inizi a somma nulla: si sceglie per progressiva",
       {-100, 5, 2},
       {100, 6, 2},
       {0, 7, 2},
       {0, 7, 2},
       {100, 6, 2},
       {-100, 5, 2}},
  };
  for (const caso& c : casi) {
    compilazione_prova p;
    auto& t = p.compilazione.tabella_corsa;
    t[voce_tabella::primo_segmento].inizio = c.tre.inizio,
    t[voce_tabella::primo_segmento].fine = c.tre.fine,
    t[voce_tabella::primo_segmento].progressiva = c.tre.progressiva;
    t[voce_tabella::secondo_segmento].inizio = c.due.inizio,
    t[voce_tabella::secondo_segmento].fine = c.due.fine,
    t[voce_tabella::secondo_segmento].progressiva = c.due.progressiva;
    t[voce_tabella::terzo_segmento].inizio = c.uno.inizio,
    t[voce_tabella::terzo_segmento].fine = c.uno.fine,
    t[voce_tabella::terzo_segmento].progressiva = c.uno.progressiva;
    p.compilazione.progressive_ordina();
    EXPECT_EQ(di(t[voce_tabella::primo_segmento]), c.e81) << c.nome;
    EXPECT_EQ(di(t[voce_tabella::secondo_segmento]), c.e82) << c.nome;
    EXPECT_EQ(di(t[voce_tabella::terzo_segmento]), c.e83) << c.nome;
  }
}

TEST(ProgressiveOrdina, ProgressivaOltreIlLongEErroreDiLettura) {
  compilazione_prova p;
  p.compilazione.tabella_corsa[voce_tabella::primo_segmento] = {};
  p.compilazione.tabella_corsa[voce_tabella::primo_segmento].fine =
      std::numeric_limits<int32_t>::max() - 99;
  p.compilazione.tabella_corsa[voce_tabella::primo_segmento].progressiva = 1;
  EXPECT_THROW(p.compilazione.progressive_ordina(), errore_lettura);
}

// --- Mountain spans ---

struct montagna_in_prova : compilazione_prova {
  montagna_in_prova() { dimensiona(compilazione, 2620); }
  int32_t memo(int32_t inizio, int32_t fine, int32_t tipo) {
    compilazione.memo_montagna(inizio, fine, tipo);
    return tipo;
  }
  // Indices of the cells with montagna == m, and of those of kind 11.
  std::vector<int> con_montagna(uint8_t m) const {
    std::vector<int> r;
    for (size_t i = 0; i < compilazione.celle.size(); ++i)
      if (compilazione.celle[i].montagna == m) r.push_back(static_cast<int>(i));
    return r;
  }
  std::vector<int> marcate() const {
    std::vector<int> r;
    for (size_t i = 0; i < compilazione.celle.size(); ++i)
      if (compilazione.celle[i].tipo == tipo_cella::marca_montagna)
        r.push_back(static_cast<int>(i));
    return r;
  }
};

std::vector<int> da_a(int a, int b) {
  std::vector<int> r;
  for (int i = a; i <= b; ++i) r.push_back(i);
  return r;
}

TEST(MemoMontagna, CelleCoperteSenzaMarche) {
  montagna_in_prova p;
  EXPECT_EQ(p.memo(6950, 7050, 2), 2);
  EXPECT_EQ(p.con_montagna(2), (std::vector<int>{139, 140}));
  EXPECT_TRUE(p.marcate().empty());
  EXPECT_EQ(p.compilazione.n_montagne, 1);
  EXPECT_EQ(p.compilazione.inizi_montagna[1], 6950);
  EXPECT_EQ(p.compilazione.fini_montagna[1], 7050);
}

TEST(MemoMontagna, TipoSopraDieciMarcaOgniQuartaCellaLibera) {
  montagna_in_prova p;
  p.memo(6950, 7050, 2);
  p.compilazione.celle[235].tipo = tipo_cella::cartello;
  EXPECT_EQ(p.memo(11400, 12000, 12), 2);
  std::vector<int> attese = {139, 140};
  for (int i : da_a(228, 239)) attese.push_back(i);
  EXPECT_EQ(p.con_montagna(2), attese);
  EXPECT_EQ(p.marcate(), (std::vector<int>{231, 239}));
  EXPECT_EQ(p.compilazione.celle[235].tipo, tipo_cella::cartello);
}

TEST(MemoMontagna, VicinaAllaPrecedenteDiventaTipoTre) {
  struct caso {
    int32_t inizio, fine, tipo;
    int32_t tipo_atteso;
    bool con_marche;
  };
  // The previous span always ends at 67800.
  const caso casi[] = {
      {67900, 69500, 1, 3, false},  // 100 m gap
      {67850, 68300, 12, 3, true},  // 50 m gap, markers kept
      {67950, 69500, 1, 3, false},  // exactly 150 m
      {68000, 69500, 1, 1, false},  // 200 m: a separate span
      {60000, 61000, 2, 3, false},  // overlapping
  };
  for (const caso& c : casi) {
    montagna_in_prova p;
    p.memo(66850, 67800, 2);
    EXPECT_EQ(p.memo(c.inizio, c.fine, c.tipo), c.tipo_atteso) << c.inizio;
    const int primo = c.inizio / 50, ultimo = c.fine / 50 - 1;
    for (int i = primo; i <= ultimo; ++i)
      ASSERT_EQ(p.compilazione.celle[i].montagna, c.tipo_atteso) << c.inizio << " cella " << i;
    EXPECT_EQ(!p.marcate().empty(), c.con_marche) << c.inizio;
  }
}

TEST(MemoMontagna, LaPrimaNonSiConfrontaConNulla) {
  montagna_in_prova p;
  EXPECT_EQ(p.memo(100, 400, 1), 1);
}

TEST(MemoMontagna, SenzaCelleLaMontagnaContaComunque) {
  montagna_in_prova p;
  p.memo(1000, 1000, 11);
  p.memo(1010, 1020, 2);  // cells 20 to 19
  EXPECT_TRUE(p.con_montagna(1).empty());
  EXPECT_TRUE(p.con_montagna(3).empty());
  EXPECT_EQ(p.compilazione.n_montagne, 2);
}

TEST(MemoMontagna, SoloLeCelleCheEsistono) {
  compilazione_prova p;
  dimensiona(p.compilazione, 100);
  int32_t tipo = 11;
  p.compilazione.memo_montagna(4800, 20000, tipo);  // cells 96 .. 399
  int32_t tipo2 = 12;
  p.compilazione.memo_montagna(-500, 500, tipo2);  // cells -10 .. 9, overlapping the first: kind 3
  ASSERT_EQ(p.compilazione.celle.size(), 101u);
  for (int i = 96; i <= 100; ++i) EXPECT_EQ(p.compilazione.celle[i].montagna, 1) << i;
  EXPECT_EQ(p.compilazione.celle[99].tipo, tipo_cella::marca_montagna);
  // The count of the second span starts at its own first cell, -10: its
  // 4th, 8th, ... cells are -7, -3, 1, 5, 9.
  for (int i = 0; i <= 9; ++i) {
    EXPECT_EQ(p.compilazione.celle[i].montagna, 3) << i;
    EXPECT_EQ(p.compilazione.celle[i].tipo == tipo_cella::marca_montagna,
              i == 1 || i == 5 || i == 9)
        << i;
  }
}

TEST(MemoMontagna, LaOttantunesimaNonTrovaPostoENonScriveNulla) {
  montagna_in_prova p;
  for (int n = 0; n < 80; ++n) p.memo(n * 1000, n * 1000 + 100, 1);
  EXPECT_EQ(p.compilazione.n_montagne, 80);
  EXPECT_EQ(p.compilazione.fini_montagna[80], 79100);
  const std::vector<cella> prima = p.compilazione.celle;
  int32_t tipo = 12;
  EXPECT_THROW(p.compilazione.memo_montagna(100000, 110000, tipo), errore_lettura);
  EXPECT_EQ(p.compilazione.n_montagne, 80);
  EXPECT_EQ(tipo, 12);
  EXPECT_EQ(p.compilazione.fini_montagna[80], 79100);
  EXPECT_TRUE(p.con_montagna(2).empty());
  EXPECT_TRUE(p.marcate().empty());
  EXPECT_EQ(p.compilazione.celle.size(), prima.size());
}

// --- Speed indicator boards ---

struct indicatore {
  int32_t posizione, vas, vbs, vcs, strisces, vad, vbd, vcd, strisced;
};

void memo(compilatore& f, const indicatore& i) {
  f.memo_indicatori_v_max(i.posizione, i.vas, i.vbs, i.vcs, i.strisces, i.vad, i.vbd, i.vcd,
                          i.strisced);
}

TEST(MemoIndicatoriVMax, Impacchettamento) {
  struct caso {
    indicatore ind;
    int cella_attesa;
    int16_t dato1, dato2, dato3, dato4;
  };
  const caso casi[] = {
      {{500, 65, 70, 80, 0, 0, 0, 0, 0}, 11, 1300, 1400, 1600, 0},
      {{1000, 100, 105, 110, 0, 100, 105, 110, 0}, 21, 2020, 2121, 2222, 0},
      {{1000, 140, 160, 250, 0, 140, 160, 250, 0}, 21, 2828, 3232, 5050, 0},
      {{1000, 0, 0, 0, 2, 0, 0, 0, 0}, 21, 0, 0, 0, 20},
      {{1025, 0, 0, 0, 0, 12, 13, -13, 7}, 22, 2, 3, -3, 7},  // 2.4, 2.6, -2.6
      {{1074, 1638, -1638, 1638, 0, 35, -40, 37, 0}, 22, 32767, -32768, 32767, 0},
      {{1000, 0, 0, 0, 3277, 0, 0, 0, 0}, 21, 0, 0, 0, -32766},   // stripes wrap
      {{1000, 0, 0, 0, 65538, 0, 0, 0, 65536}, 21, 0, 0, 0, 20},  // low 16 bits only
  };
  for (const caso& c : casi) {
    compilazione_prova p;
    dimensiona(p.compilazione, 2620);
    memo(p.compilazione, c.ind);
    EXPECT_EQ(p.compilazione.problema.codice, 0);
    const cella& z = p.compilazione.celle[c.cella_attesa];
    EXPECT_EQ(z.tipo, tipo_cella::indicatore_v_max) << c.ind.posizione;
    EXPECT_EQ(z.dato1, c.dato1) << c.ind.posizione;
    EXPECT_EQ(z.dato2, c.dato2) << c.ind.posizione;
    EXPECT_EQ(z.dato3, c.dato3) << c.ind.posizione;
    EXPECT_EQ(z.dato4, c.dato4) << c.ind.posizione;
  }
}

TEST(MemoIndicatoriVMax, VelocitaFuoriDaUnInteroELeCifrePrecedentiRestano) {
  compilazione_prova p;
  dimensiona(p.compilazione, 2620);
  p.compilazione.celle[21].dato2 = 77;
  p.compilazione.celle[21].dato3 = 78;
  p.compilazione.celle[21].dato4 = 79;
  EXPECT_THROW(memo(p.compilazione, {1000, 65, 1638, 70, 3, 0, 40, 0, 1}), errore_lettura);
  const cella& z = p.compilazione.celle[21];
  EXPECT_EQ(z.tipo, tipo_cella::indicatore_v_max);
  EXPECT_EQ(z.dato1, 1300);
  EXPECT_EQ(z.dato2, 77);
  EXPECT_EQ(z.dato3, 78);
  EXPECT_EQ(z.dato4, 79);

  compilazione_prova q;
  dimensiona(q.compilazione, 2620);
  EXPECT_THROW(memo(q.compilazione, {1000, -1638, 0, 0, 0, -45, 0, 0, 0}), errore_lettura);
  EXPECT_EQ(q.compilazione.celle[21].dato1, 0);
}

TEST(MemoIndicatoriVMax, CellaOccupataOFuoriDalTracciato) {
  struct caso {
    const char* nome;
    int32_t posizione;
    uint8_t tipo_presente;
    int codice;
  };
  const caso casi[] = {
      {"su una marca di montagna", 1000, tipo_cella::marca_montagna, 0},
      {"su un cartello", 1000, tipo_cella::cartello, 21},
      {"su un altro indicatore", 1000, tipo_cella::indicatore_v_max, 21},
      {"dopo l'ultima cella", 100 * 50, tipo_cella::libera, 21},
      {"prima della cella zero", -100, tipo_cella::libera, 21},
  };
  for (const caso& c : casi) {
    compilazione_prova p;
    dimensiona(p.compilazione, 100);
    p.compilazione.celle[21].tipo = c.tipo_presente;
    const std::vector<cella> prima = p.compilazione.celle;
    memo(p.compilazione, {c.posizione, 65, 70, 80, 1, 65, 70, 80, 1});
    EXPECT_EQ(p.compilazione.problema.codice, c.codice) << c.nome;
    if (c.codice != 0) {
      ASSERT_EQ(p.compilazione.celle.size(), prima.size());
      for (size_t i = 0; i < prima.size(); ++i)
        EXPECT_EQ(p.compilazione.celle[i].tipo, prima[i].tipo) << c.nome << " cella " << i;
      EXPECT_EQ(p.compilazione.celle[21].dato1, 0) << c.nome;
    } else {
      EXPECT_EQ(p.compilazione.celle[21].tipo, tipo_cella::indicatore_v_max) << c.nome;
    }
  }
}

}  // namespace
