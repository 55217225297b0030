#include <gtest/gtest.h>

#include "compiler/numeri.h"
#include "testing/compilazione_prova.h"

namespace {

using prova = compilazione_prova;

TEST(SorgenteLinea, LunghezzaDimensionaCelleEPiano) {
  struct caso {
    int32_t L;
    int32_t codice;
    int32_t ultima_cella;
  };
  const caso casi[] = {{124000, 0, 2620}, {0, 0, 140},         {25, 0, 140},
                       {75, 0, 142},      {1000000, 0, 20140}, {1000001, 1, 0}};
  for (const caso& k : casi) {
    prova p;
    p.leggi(sorgente_linea(k.L));
    EXPECT_EQ(p.compilazione.problema.codice, k.codice) << k.L;
    EXPECT_EQ(p.compilazione.tabella_corsa[voce_tabella::lunghezza].fine, k.L);
    if (k.codice != 0) {
      EXPECT_TRUE(p.compilazione.celle.empty());
      EXPECT_FALSE(p.esiste(p.linea_txt()));
      EXPECT_TRUE(p.esiste(p.corsa_txt())) << "the run source is not read after code 1";
      continue;
    }
    EXPECT_EQ(p.compilazione.ultima_cella, k.ultima_cella) << k.L;
    EXPECT_EQ(p.compilazione.celle.size(), static_cast<size_t>(k.ultima_cella) + 1);
    EXPECT_EQ(p.compilazione.punti_linea.ultimo(), k.L + 7000);
    EXPECT_FALSE(p.esiste(p.linea_txt()));
    EXPECT_FALSE(p.esiste(p.corsa_txt()));
  }
}

TEST(SorgenteLinea, ControlloDellaPosizione) {
  prova p;
  p.leggi(sorgente_linea(
      124000, {"pendenza,  130900,   3", "pendenza,  130901,   5", "pendenza,  500,   9"}));
  EXPECT_EQ(p.compilazione.problema.codice, 15);
  EXPECT_EQ(p.compilazione.problema.posizione, 130901);
  EXPECT_EQ(p.compilazione.problema.riga, 5);
  EXPECT_EQ(p.compilazione.problema.file, "Ombrasca1_linea.txt");
  // The rest of the file is ignored, the end-of-file steps still run, and the
  // run source is read (and deleted) after it.
  EXPECT_EQ(p.c(10).pendenza, 100);
  EXPECT_EQ(p.c(2617).pendenza, 100);
  EXPECT_EQ(p.c(2618).pendenza, 103) << "the end fill writes at least one cell";
  EXPECT_EQ(p.c(2619).pendenza, 0);
  EXPECT_EQ(p.compilazione.punti_linea.tipo(130998, 1), tipo_valore::doppio);
  EXPECT_FALSE(p.esiste(p.linea_txt()));
  EXPECT_FALSE(p.esiste(p.corsa_txt()));
}

TEST(SorgenteLinea, RipetizioneSegnali) {
  struct caso {
    const char* riga;
    int32_t codice, inizio, fine, progressiva;
  };
  const caso casi[] = {
      {"ripetizione segnali 9 codici,    46400,    112500", 0, 46400, 112500, 9},
      {"ripetizione segnali 4 codici,    46400,    112500", 0, 46400, 112500, 4},
      {"ripetizione segnali 49 codici,    46400,    112500", 0, 46400, 112500, 4},
      {"ripetizione segnali 9 codici,    46400,    0", 0, 46400, 0, 0},
      {"ripetizione segnali 9 codici,    46425,    112500", 3, 46425, 112500, 0},
      {"ripetizione segnali 9 codici,    46400,    -50", 0, 46400, -50, 9},
      {"ripetizione segnali 9 codici,    46400,    -25", 4, 46400, -25, 0},
      {"ripetizione segnali codici,    46400,    112500", 5, 46400, 112500, 0},
      {"Ripetizione segnali 9 codici,    46400,    112500", 0, 0, 0, 0},
  };
  for (const caso& k : casi) {
    prova p;
    p.leggi(
        righe_crlf({"[generale]", "lunghezza percorso,    124000", k.riga, "[curve]", "[fine]"}));
    EXPECT_EQ(p.compilazione.problema.codice, k.codice) << k.riga;
    EXPECT_EQ(p.compilazione.tabella_corsa[voce_tabella::treno].inizio, k.inizio) << k.riga;
    EXPECT_EQ(p.compilazione.tabella_corsa[voce_tabella::treno].fine, k.fine) << k.riga;
    EXPECT_EQ(p.compilazione.tabella_corsa[voce_tabella::treno].progressiva, k.progressiva)
        << k.riga;
    EXPECT_FALSE(p.esiste(p.linea_txt())) << k.riga;
    EXPECT_EQ(p.esiste(p.corsa_txt()), k.codice != 0) << k.riga;
  }
}

TEST(SorgenteLinea, RigheGeneraliSonoSottostringheConOSenzaMaiuscole) {
  prova p;
  p.leggi(righe_crlf({"[generale]", "- commento -", "--------", "LUNGHEZZA PERCORSO,    1000",
                      "Progressiva chilometrica uno,    0,    39050,    1",
                      "progressiva chilometrica due,    39100,    135150,    1", "sfondo uno,    1",
                      "sfondo due,    51000", "sfondo tre,    7", "[curve]", "[fine]"}));
  EXPECT_EQ(p.compilazione.problema.codice, 0);
  EXPECT_EQ(p.compilazione.ultima_cella, 160);
  // "Progressiva" with a capital matches no row; "due" alone is then the
  // largest start and goes first.
  EXPECT_EQ(p.compilazione.tabella_corsa[voce_tabella::scenario].inizio, 1);
  EXPECT_EQ(p.compilazione.tabella_corsa[voce_tabella::scenario].progressiva, 51000);
  EXPECT_EQ(p.compilazione.tabella_corsa[voce_tabella::scenario].fine, 7);
  EXPECT_EQ(p.compilazione.tabella_corsa[voce_tabella::scenario].nome, "Ombrasca1");
  EXPECT_EQ(p.compilazione.tabella_corsa[voce_tabella::treno].nome, "5817");
}

TEST(SorgenteLinea, RiempimentoDellePendenze) {
  struct caso {
    const char* nome;
    std::vector<std::string> righe;
    std::vector<std::pair<int, int>> celle;  // (cell, expected pendenza)
  };
  const caso casi[] = {
      {"tre righe",
       {"pendenza,   0,    0", "pendenza,  500,   3", "pendenza,  1500,   0"},
       {{0, 100}, {9, 100}, {10, 103}, {29, 103}, {30, 100}, {157, 100}, {158, 0}, {160, 0}}},
      {"una cella scritta anche dietro il cursore",
       {"pendenza,  500,   3", "pendenza,  510,   5", "pendenza,  1000,   0"},
       {{9, 100}, {10, 103}, {11, 105}, {19, 105}, {20, 100}}},
      {"pendenza negativa", {"pendenza,  0,   -35"}, {{0, 65}, {157, 65}}},
      {"75 e 125 metri nella stessa cella",
       {"pendenza,  75,   1", "pendenza,  125,   2", "pendenza,  200,   3"},
       {{0, 100}, {1, 100}, {2, 101}, {3, 102}, {4, 103}}},
      {"pendenza fuori byte", {"pendenza,  0,   -101"}, {{5, 255}}},
  };
  for (const caso& k : casi) {
    prova p;
    std::string record;
    for (const auto& r : k.righe) record += r + "\r\n";
    p.leggi(righe_crlf({"[generale]", "lunghezza percorso,    1000", "[pendenze]"}) + record +
            "[fine]\r\n");
    ASSERT_EQ(p.compilazione.problema.codice, 0) << k.nome;
    for (auto [i, v] : k.celle) EXPECT_EQ(p.c(i).pendenza, v) << k.nome << " cell " << i;
  }
}

TEST(SorgenteLinea, RigheDiPendenzaRipetuteNonEsconoDalTracciato) {
  prova p;
  std::string record;
  for (int i = 0; i < 400; ++i) record += "pendenza,  0,   1\r\npendenza,  50,   2\r\n";
  p.leggi(righe_crlf({"[generale]", "lunghezza percorso,    0", "[pendenze]"}) + record +
          "[fine]\r\n");
  // Each pair writes one more cell, with the gradient of its first row: the
  // cursor runs far past the last cell, which is written and no further.
  EXPECT_EQ(p.compilazione.problema.codice, 0);
  EXPECT_EQ(p.c(139).pendenza, 101);
  EXPECT_EQ(p.c(140).pendenza, 101);
}

TEST(SorgenteLinea, PianoDellaLinea) {
  prova p;
  p.leggi(sorgente_linea(1000, {"curvad4,  500,  300"}));
  ASSERT_EQ(p.compilazione.problema.codice, 0);
  const punti_piano& pl = p.compilazione.punti_linea;
  EXPECT_EQ(pl.tipo(0, 0), tipo_valore::intero);
  EXPECT_EQ(pl.tipo(1, 1), tipo_valore::intero);
  EXPECT_EQ(pl.valore(1, 1), 1);
  for (int m : {2, 250, 500}) {
    EXPECT_EQ(pl.tipo(m, 0), tipo_valore::doppio);
    EXPECT_EQ(pl.valore(m, 0), 0.0) << m;
    EXPECT_EQ(pl.valore(m, 1), m) << m;
  }
  EXPECT_EQ(pl.valore(501, 0), 0.001);
  EXPECT_EQ(pl.valore(501, 1), 501.0);
  EXPECT_EQ(pl.valore(502, 0), 0.003);
  EXPECT_EQ(pl.valore(502, 1), 501.999999);
  // The arc ends with point 800: from there the direction stays as it was.
  const double dx = pl.valore(800, 0) - pl.valore(799, 0);
  EXPECT_EQ(pl.valore(801, 0) - pl.valore(800, 0), dx);
  EXPECT_EQ(pl.tipo(7998, 0), tipo_valore::doppio);
  EXPECT_EQ(pl.tipo(7999, 0), tipo_valore::vuoto);
  EXPECT_EQ(pl.tipo(8000, 1), tipo_valore::vuoto);
}

TEST(SorgenteLinea, LatoEClasseDellaCurva) {
  struct caso {
    const char* riga;
    int32_t codice;
    double x501;
  };
  const caso casi[] = {
      {"curvad4,  500,  300", 0, 0.001},  {"curvas4,  500,  300", 0, -0.001},
      {"CURVAS4,  500,  300", 0, -0.001}, {"curvadestra4,  500,  300", 0, -0.001},
      {"curvad1,  500,  300", 0, 0.0001}, {"curvad6,  500,  300", 0, 0.003},
      {"curvad64,  500,  300", 0, 0.001}, {"curvad7,  500,  300", 103, 0},
  };
  for (const caso& k : casi) {
    prova p;
    p.leggi(sorgente_linea(1000, {k.riga}));
    EXPECT_EQ(p.compilazione.problema.codice, k.codice) << k.riga;
    if (k.codice == 0) {
      EXPECT_EQ(p.compilazione.punti_linea.valore(501, 0), k.x501) << k.riga;
    } else {
      EXPECT_FALSE(p.esiste(p.linea_txt()));
      EXPECT_TRUE(p.esiste(p.corsa_txt()));
    }
  }
}

TEST(SorgenteLinea, CurveOltreLaFineDelPiano) {
  prova p;
  p.leggi(sorgente_linea(0, {"curvad4,  6000,  5000"}));
  EXPECT_EQ(p.compilazione.problema.codice, 0);
  EXPECT_EQ(p.compilazione.punti_linea.tipo(7000, 0), tipo_valore::doppio);

  prova lungo;
  lungo.leggi(sorgente_linea(1000000, {"curvad4,  900000,  200000"}));
  EXPECT_EQ(lungo.compilazione.problema.codice, 103);
}

TEST(SorgenteLinea, CartelliIndicatori) {
  prova p;
  p.leggi(sorgente_linea(124000, {"cartello_indicatore,  3000,   (______)(______)(______)",
                                  "cartello_indicatore,  3050,   (P.L.A.    )(km. 35+997)"}));
  ASSERT_EQ(p.compilazione.problema.codice, 0);
  EXPECT_EQ(p.c(61).tipo, tipo_cella::cartello);
  EXPECT_EQ(p.c(61).dato1, 80);
  EXPECT_EQ(p.compilazione.tabella_corsa[voce_tabella::primo_cartello].nome,
            "(______)(______)(______)");
  EXPECT_EQ(p.c(62).dato1, 79);
  EXPECT_EQ(p.compilazione.tabella_corsa[79].nome, "(P.L.A.    )(km. 35+997)");
  EXPECT_EQ(p.compilazione.prossimo_cartello, 78);
}

TEST(SorgenteLinea, CartelloSuUnaCellaOccupata) {
  prova p;
  p.leggi(sorgente_linea(124000, {"indicatori_vmax,  3000,  65,  70,  80,  0,  ,  ,  ,  0",
                                  "cartello_indicatore,  3000,   (______)"}));
  EXPECT_EQ(p.compilazione.problema.codice, 6);
  EXPECT_EQ(p.compilazione.problema.posizione, 3000);
  EXPECT_FALSE(p.esiste(p.linea_txt()));
  EXPECT_TRUE(p.esiste(p.corsa_txt()));

  prova montagna;
  montagna.leggi(sorgente_linea(
      124000, {"montagna,   2850,  4000,  11", "cartello_indicatore,  3000,   (______)"}));
  EXPECT_EQ(montagna.compilazione.problema.codice, 0);
  EXPECT_EQ(montagna.c(61).tipo, tipo_cella::cartello);
}

TEST(SorgenteLinea, OltreOttantaCartelliEMontagne) {
  for (const char* tipo : {"cartello", "montagna"}) {
    std::string record;
    for (int i = 0; i < 81; ++i) {
      const std::string p = std::to_string(1000 + 200 * i);
      record += std::string(tipo) == "cartello"
                    ? "cartello_indicatore,  " + p + ",   (X)\r\n"
                    : "montagna,   " + p + ",  " + std::to_string(1000 + 200 * i + 50) + ",  1\r\n";
    }
    prova p;
    p.leggi(righe_crlf({"[generale]", "lunghezza percorso,    124000", "[x]"}) + record +
            "[fine]\r\n");
    EXPECT_EQ(p.compilazione.problema.codice, 25) << tipo;
    EXPECT_FALSE(p.esiste(p.linea_txt())) << tipo;
    EXPECT_FALSE(p.esiste(p.corsa_txt())) << tipo;
    EXPECT_EQ(p.compilazione.tabella_corsa[0].nome, "") << tipo;
  }
}

TEST(SorgenteLinea, CartelloAPosizioneNegativa) {
  prova p;
  p.leggi(sorgente_linea(
      1000, {"cartello_indicatore,  -75,   (A)", "cartello_indicatore,  -100,   (B)"}));
  EXPECT_EQ(p.compilazione.problema.codice, 15);
  EXPECT_EQ(p.compilazione.problema.posizione, -100);
  EXPECT_EQ(p.c(0).tipo, tipo_cella::cartello) << "-75 m rounds to cell 0";
  EXPECT_FALSE(p.esiste(p.corsa_txt())) << "the run source is still read";
}

TEST(SorgenteLinea, RigheDiTrattiniERigheDiSezione) {
  prova p;
  p.leggi(righe_crlf({"[generale]", "lunghezza percorso,    1000", "[curve]", "---", "- pendenza -",
                      "[pendenze]", "-", "-", "pendenza,  500,   3", "[montagne]", "[cartelli]",
                      "[indicazioni]", "[fine]"}));
  EXPECT_EQ(p.compilazione.problema.codice, 0);
  EXPECT_EQ(p.c(10).pendenza, 103);

  // A third dash item in a row is tested as a lead item.
  prova terza;
  terza.leggi(righe_crlf({"[generale]", "lunghezza percorso,    1000", "[curve]", "-", "-",
                          "- pendenza", "700", "2", "[fine]"}));
  EXPECT_EQ(terza.compilazione.problema.codice, 0);
  EXPECT_EQ(terza.c(13).pendenza, 100);
  EXPECT_EQ(terza.c(14).pendenza, 102);
}

TEST(SorgenteLinea, LUltimaVoceDelFileNonEInterpretata) {
  prova p;
  p.leggi(righe_crlf({"[generale]", "lunghezza percorso,    1000", "[curve]", "pendenza"}));
  EXPECT_EQ(p.compilazione.problema.codice, 0);
}

TEST(SorgenteLinea, SenzaFlagLeCurveNonSonoLette) {
  prova p;
  p.leggi(sorgente_linea(1000, {"curvad4,  500,  300", "pendenza,  500,   3"}), sorgente_corsa(),
          0);
  EXPECT_EQ(p.compilazione.problema.codice, 0);
  EXPECT_FALSE(p.compilazione.punti_linea.esiste());
  EXPECT_EQ(p.c(10).pendenza, 103);
}

TEST(SorgenteLinea, GuastiDelFile) {
  struct caso {
    const char* nome;
    std::string testo;  // "" with manca = the file is missing
    bool manca;
    int32_t codice;
    bool linea_resta, corsa_resta;
    const char* motivo = "";  // a part of the reason a read failure gives
  };
  const caso casi[] = {
      {"file assente", "", true, 101, false, true},
      {"file vuoto", "", false, 102, false, true},
      {"senza [generale]", righe_crlf({"lunghezza percorso,    1000", "[fine]"}), false, 102, false,
       true},
      {"[generale] come ultima voce", "[generale]\r\n", false, 102, false, true},
      {"fine del file dentro una riga",
       righe_crlf({"[generale]", "lunghezza percorso,    1000", "[pendenze]", "pendenza,  500"}),
       false, 25, false, false, "finisce a metà di una riga"},
      {"senza lunghezza", righe_crlf({"[generale]", "sfondo uno,    1", "[curve]", "[fine]"}),
       false, 25, false, false, "manca la lunghezza del percorso"},
      {"lunghezza troppo corta", sorgente_linea(-6926), false, 25, false, false,
       "lunghezza del percorso, -6926 m, è troppo corta"},
      {"numero oltre 32 bit", sorgente_linea(1000, {"pendenza,  4294967296,   3"}), false, 25,
       false, false, "il numero 4294967296 non sta nel suo campo, che va da -2147483648 a"},
  };
  for (const caso& k : casi) {
    prova p;
    if (k.manca) {
      scrivi_testo(p.corsa_txt(), sorgente_corsa());
      p.compilazione.scrivi_linea = 1;
      p.compilazione.memorizza_dati();
    } else {
      p.leggi(k.testo);
    }
    EXPECT_EQ(p.compilazione.problema.codice, k.codice) << k.nome;
    EXPECT_NE(p.compilazione.problema.testo().find(k.motivo), std::string::npos)
        << k.nome << ": " << p.compilazione.problema.testo();
    EXPECT_EQ(p.esiste(p.linea_txt()), k.linea_resta) << k.nome;
    EXPECT_EQ(p.esiste(p.corsa_txt()), k.corsa_resta) << k.nome;
  }
}

}  // namespace
