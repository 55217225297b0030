#include <gtest/gtest.h>

#include "testing/compilazione_prova.h"

namespace {

using prova = compilazione_prova;

const char* const stazione_24 =
    "stazione,   12400, 24,  300,  0, 0, 0,  0,0,0,  4,1,1,   30,   6,23, 0, ROCCAVIVA";

TEST(SorgenteCorsa, ValoriGenerali) {
  prova p;
  p.leggi_corsa({"numero vetture,    5", "percentuale massa frenata,    120", "sabbia,    150",
                 "orologio,    6               11            30 "});
  EXPECT_EQ(p.compilazione.problema.codice, 0);
  EXPECT_EQ(p.compilazione.tabella_corsa[voce_tabella::lunghezza].progressiva, 5);
  EXPECT_EQ(p.compilazione.tabella_corsa[voce_tabella::lunghezza].inizio, 120);
  EXPECT_EQ(p.compilazione.tabella_corsa[voce_tabella::treno].intero1, 150);
  EXPECT_EQ(p.compilazione.tabella_corsa[voce_tabella::treno].intero3, 6);
  EXPECT_EQ(p.compilazione.tabella_corsa[voce_tabella::treno].intero4, 11);
  EXPECT_EQ(p.compilazione.tabella_corsa[voce_tabella::treno].intero5, 30);
  EXPECT_FALSE(p.esiste(p.corsa_txt()));
}

TEST(SorgenteCorsa, ParoleChiave) {
  struct caso {
    const char* nome;
    std::string testo;
    int32_t vetture;
  };
  const caso casi[] = {
      {"maiuscole", sorgente_corsa({"NUMERO VETTURE,    5"}), 5},
      {"dentro un token", sorgente_corsa({"xxVetturexx,    6"}), 6},
      {"righe prima di [generale] ignorate", "vetture,    7\r\n" + sorgente_corsa(), 0},
      {"senza [generale]", righe_crlf({"vetture,    7", "[fine]"}), 0},
      {"ultima voce del file", righe_crlf({"[generale]", "vetture,    3", "vetture"}), 3},
      {"tre trattini", righe_crlf({"[generale]", "-", "--", "- vetture,    4", "[fine]"}), 4},
      {"due trattini poi la riga",
       righe_crlf({"[generale]", "-", "-", "x", "vetture, 2", "[fine]"}), 2},
  };
  for (const caso& k : casi) {
    prova p;
    p.leggi(sorgente_linea(1000), k.testo, 0);
    EXPECT_EQ(p.compilazione.problema.codice, 0) << k.nome;
    EXPECT_EQ(p.compilazione.tabella_corsa[voce_tabella::lunghezza].progressiva, k.vetture)
        << k.nome;
    EXPECT_FALSE(p.esiste(p.corsa_txt())) << k.nome;
  }
}

TEST(SorgenteCorsa, RigheDiSezioneNonSonoParoleChiave) {
  prova p;
  p.leggi_corsa({"[aderenze]", "[vel_limite]", "[stazioni]", "[rallentamenti]", "[segnali]",
                 "[codici]", "velocita,       0,    65"},
                1000);
  EXPECT_EQ(p.compilazione.problema.codice, 0);
  EXPECT_EQ(p.c(0).velocita, 13);
  EXPECT_EQ(p.compilazione.tabella_corsa[1].tipo, 0);
}

TEST(SorgenteCorsa, RiempimentoDelleVelocita) {
  struct caso {
    const char* nome;
    std::vector<std::string> righe;
    std::vector<std::pair<int, int>> celle;
  };
  const caso casi[] = {
      {"due righe",
       {"velocita,       0,    65", "velocita,    2050,    95"},
       {{0, 13}, {40, 13}, {41, 19}, {157, 19}, {158, 0}}},
      {"stessa posizione due volte",
       {"velocita,       0,    65", "velocita,     500,    95", "velocita,     500,   100"},
       {{9, 13}, {10, 19}, {11, 20}, {157, 20}}},
      {"prima riga oltre lo zero", {"velocita,    1000,    80"}, {{0, 0}, {19, 0}, {20, 16}}},
      {"1277 km/h", {"velocita,       0,  1277"}, {{0, 255}, {157, 255}}},
      {"una riga dopo l'ultima cella",
       {"velocita,       0,    80", "velocita,    7900,    90"},
       {{157, 16}, {158, 18}, {159, 0}, {160, 0}}},
  };
  for (const caso& k : casi) {
    prova p;
    std::string righe;
    for (const auto& r : k.righe) righe += r + "\r\n";
    p.leggi(sorgente_linea(1000), "[generale]\r\n" + righe + "[fine]\r\n", 0);
    EXPECT_EQ(p.compilazione.problema.codice, 0) << k.nome;
    for (auto [i, v] : k.celle) EXPECT_EQ(p.c(i).velocita, v) << k.nome << " cell " << i;
  }
}

TEST(SorgenteCorsa, RiempimentoDelleAderenze) {
  prova p;
  p.leggi_corsa({"aderenza,   0,    100", "aderenza,   12700,    90", "aderenza,   12700,    300"});
  EXPECT_EQ(p.compilazione.problema.codice, 0);
  EXPECT_EQ(p.c(253).aderenza, 100);
  EXPECT_EQ(p.c(254).aderenza, 90) << "a second row at one position fills one more cell";
  EXPECT_EQ(p.c(255).aderenza, 300 - 256) << "low 8 bits, no range check";
  EXPECT_EQ(p.c(2617).aderenza, 44);
  EXPECT_EQ(p.c(2618).aderenza, 0);

  // Rows out of order push the fill point one cell a row: never past the last cell.
  std::string righe = "[generale]\r\n";
  for (int i = 0; i < 400; ++i) righe += "aderenza,  100,  90\r\naderenza,   0,  80\r\n";
  prova fuori;
  fuori.leggi(sorgente_linea(1000), righe + "[fine]\r\n", 0);
  EXPECT_EQ(fuori.compilazione.problema.codice, 0);
  EXPECT_EQ(fuori.c(160).aderenza, 80);
}

TEST(SorgenteCorsa, LimitiDiPosizione) {
  // U = 160 with L = 1000: rows up to 7900 m, stations up to 7200 m.
  struct caso {
    std::string riga;
    int32_t codice;
    int32_t posizione;
  };
  const caso casi[] = {
      {"velocita,    7900,    90", 0, 0},
      {"velocita,    7901,    90", 15, 7901},
      {"aderenza,    7901,    90", 15, 7901},
      {"abbattimento,    7901,   270", 15, 7901},
      {"abbattimento,    -50,   270", 15, -50},
      {"segnale,    7901,   1, 1, 1,  0, 0,    0,  0,0,0, 0", 15, 7901},
      {"segnale,    -100,   1, 1, 1,  0, 0,    0,  0,0,0, 0", 15, -100},
      {"rallentamento,    7901,  60,  200,  0,  1,  0", 15, 7901},
      {"rallentamento,    7000,  60,  900,  0,  1,  0", 0, 0},
      {"rallentamento,    7000,  60,  1000,  0,  1,  0", 15, 7000},
      {"rallentamento,    2000,  60,  -2500,  0,  1,  0", 15, 2000},
      {"stazione,    7200,  4,  200,  0, 0, 0,  0,0,0,  0,0,0,    0,   6, 0, 0, A", 0, 0},
      {"stazione,    7250,  4,  200,  0, 0, 0,  0,0,0,  0,0,0,    0,   6, 0, 0, A", 15, 7250},
  };
  for (const caso& k : casi) {
    prova p;
    p.leggi(sorgente_linea(1000), sorgente_corsa({k.riga, "vetture,  3"}), 0);
    EXPECT_EQ(p.compilazione.problema.codice, k.codice) << k.riga;
    EXPECT_EQ(p.compilazione.problema.posizione, k.posizione) << k.riga;
    // Reading stops at a position out of range; the file is still deleted.
    EXPECT_EQ(p.compilazione.tabella_corsa[voce_tabella::lunghezza].progressiva,
              k.codice == 0 ? 3 : 0)
        << k.riga;
    EXPECT_FALSE(p.esiste(p.corsa_txt())) << k.riga;
  }
}

TEST(SorgenteCorsa, PuntiDiCodice) {
  prova p;
  p.leggi(sorgente_linea(124000, {"montagna,   47700,  48000,  11"}),
          sorgente_corsa({"abbattimento,   47850,   270", "abbattimento,   54800,   AC",
                          "abbattimento,   54850,   0", "abbattimento,   1000,   70000"}),
          0);
  EXPECT_EQ(p.compilazione.problema.codice, 0);
  EXPECT_EQ(p.c(957).tipo, tipo_cella::punto_codice);
  EXPECT_EQ(p.c(957).dato1, 270);
  EXPECT_EQ(p.c(957).montagna, 1) << "a scenery-marked cell is free";
  EXPECT_EQ(p.c(1096).tipo, tipo_cella::punto_senza_codice);
  EXPECT_EQ(p.c(1097).tipo, tipo_cella::punto_senza_codice);
  EXPECT_EQ(p.c(20).dato1, 70000 - 65536);

  prova fermata;
  fermata.leggi_corsa({stazione_24, "abbattimento,   12500,   270", "vetture,  3"});
  EXPECT_EQ(fermata.compilazione.problema.codice, 7);
  EXPECT_EQ(fermata.compilazione.problema.posizione, 12500);
  EXPECT_EQ(fermata.c(250).tipo, tipo_cella::fermata);
  EXPECT_EQ(fermata.compilazione.tabella_corsa[voce_tabella::lunghezza].progressiva, 0)
      << "reading stopped";
  EXPECT_EQ(fermata.c(2617).velocita, 0);
}

TEST(SorgenteCorsa, StazioniDellaCorsa) {
  prova p;
  p.leggi_corsa(
      {"stazione,       0, 12,  500,  0, 0, 1,  1,1,0,  4,1,1,    1,   6,12, 0, "
       "VALDORA CENTRALE",
       stazione_24,
       "stazione,   60000, 26,  400,  1, 1, 1,  0,0,0,  0,0,0,    0,   7, 0,30, BIVIO NORD",
       "stazione,  118650,  6,  500,  1, 0, 0,  1,1,0,  2,1,1,    1,   7,46, 0, "
       "PIANALTO"});
  ASSERT_EQ(p.compilazione.problema.codice, 0);
  const auto& t = p.compilazione.tabella_corsa;

  EXPECT_EQ(t[1].inizio, -250);
  EXPECT_EQ(t[1].fine, 300) << "the far end moves 50 m before the first station's byte4 is cleared";
  EXPECT_EQ(t[1].byte4, 0);
  EXPECT_EQ(t[1].progressiva, 0);
  EXPECT_EQ(t[1].nome, "VALDORA CENTRALE");
  EXPECT_EQ(t[1].orario, 6 * 3600 + 12 * 60);
  EXPECT_EQ(p.c(5).tipo, tipo_cella::fermata);
  EXPECT_EQ(p.c(5).dato1, 1);
  EXPECT_EQ(p.c(4).dato6, 81);
  EXPECT_EQ(p.c(3).dato6, 82);
  EXPECT_EQ(p.c(2).dato6, 83);
  EXPECT_EQ(p.c(1).dato6, 0) << "cell 1 is the header";

  EXPECT_EQ(t[2].inizio, 12250);
  EXPECT_EQ(t[2].fine, 12550);
  EXPECT_EQ(t[2].orario, 22980);
  EXPECT_EQ(t[2].byte3, 30);
  EXPECT_EQ(t[2].intero3, 4);
  EXPECT_EQ(p.c(250).tipo, tipo_cella::fermata);
  EXPECT_EQ(p.c(250).dato1, 2);
  for (int j = 1; j <= 4; ++j) EXPECT_EQ(p.c(250 - j).dato6, 80 + j);

  // Kinds from 25 up keep their area and leave no mark; byte5 is cleared under 600 m.
  EXPECT_EQ(t[3].inizio, 59800);
  EXPECT_EQ(t[3].fine, 60250);
  EXPECT_EQ(t[3].byte4, 1);
  EXPECT_EQ(t[3].byte5, 0);
  EXPECT_EQ(t[3].orario, 7 * 3600 + 30);
  EXPECT_EQ(p.c(1204).tipo, 0);
  EXPECT_EQ(p.c(1203).dato6, 0);

  EXPECT_EQ(t[4].inizio, 118150);
  EXPECT_EQ(t[4].fine, 118800);
  EXPECT_EQ(t[4].byte4, 0);
  EXPECT_EQ(p.c(2375).tipo, tipo_cella::fermata);
  EXPECT_EQ(p.c(2375).dato1, 4);
  EXPECT_EQ(p.c(2374).dato6, 0) << "kinds 5 and 6 have no approach marks";
}

TEST(SorgenteCorsa, ErroriDelleStazioni) {
  struct caso {
    const char* nome;
    std::vector<std::string> righe;
    int32_t codice;
    int32_t posizione;
  };
  const std::string a = "stazione,    5000, 24,  400,  0, 0, 0,  0,0,0,  0,0,0,    0,   6, 0, 0, A";
  const caso casi[] = {
      {"posizione non multipla di 50",
       {"stazione,    5010, 24,  400,  0, 0, 0,  0,0,0,  0,0,0,  0, 6, 0, 0, A"},
       8,
       5010},
      {"lunghezza non multipla di 100",
       {"stazione,    5000, 24,  450,  0, 0, 0,  0,0,0,  0,0,0,  0, 6, 0, 0, A"},
       9,
       5000},
      {"fermata nella cella 1",
       {"stazione,     0, 24,  200,  0, 0, 0,  0,0,0,  0,0,0,  0, 6, 0, 0, A"},
       24,
       0},
      {"distanza tra stazioni",
       {"stazione,   11800, 24,  400,  0, 0, 0,  0,0,0,  0,0,0,  0, 6, 0, 0, A", stazione_24},
       22,
       12400},
      {"distanza giusta",
       {"stazione,   11700, 24,  400,  0, 0, 0,  0,0,0,  0,0,0,  0, 6, 0, 0, A", stazione_24},
       0,
       0},
      {"kind 26 controllato anch'esso",
       {"stazione,   11800, 26,  400,  0, 0, 0,  0,0,0,  0,0,0,  0, 6, 0, 0, A", stazione_24},
       22,
       12400},
      {"fermata su un punto di codice", {"abbattimento,   5150,   270", a}, 23, 5000},
      {"byte fuori limiti",
       {"stazione,    5000, 256,  400,  0, 0, 0,  0,0,0,  0,0,0,  0, 6, 0, 0, A"},
       25,
       0},
      {"orario oltre 32 bit",
       {"stazione,    5000, 24,  400,  0, 0, 0,  0,0,0,  0,0,0,  0, 2000000, 0, 0, A"},
       25,
       0},
  };
  for (const caso& k : casi) {
    prova p;
    std::string righe = "[generale]\r\n";
    for (const auto& r : k.righe) righe += r + "\r\n";
    p.leggi(sorgente_linea(124000), righe + "velocita,  0,  80\r\n[fine]\r\n", 0);
    EXPECT_EQ(p.compilazione.problema.codice, k.codice) << k.nome;
    if (k.codice != 25) {
      EXPECT_EQ(p.compilazione.problema.posizione, k.posizione) << k.nome;
    }
    EXPECT_FALSE(p.esiste(p.corsa_txt())) << k.nome;
    // Station errors stop reading with no tails; only a clean run fills them.
    EXPECT_EQ(p.c(100).velocita, k.codice == 0 ? 16 : 0) << k.nome;
  }
}

TEST(SorgenteCorsa, StazioniECartelliSiIncontrano) {
  // With 25 boards, entries 80 to 56 hold their texts: 53 stations fit, the
  // 54th is stored and then refused.
  std::string cartelli;
  for (int i = 0; i < 25; ++i)
    cartelli += "cartello_indicatore,  " + std::to_string(100000 + 100 * i) + ",   (X)\r\n";
  std::string stazioni = "[generale]\r\n";
  for (int i = 0; i < 54; ++i)
    stazioni += "stazione,   " + std::to_string(1000 + 1000 * i) +
                ", 26,  200,  0, 0, 0,  0,0,0,  0,0,0,    0,   6, 0, 0, S" + std::to_string(i + 1) +
                "\r\n";
  prova p;
  p.leggi(
      righe_crlf({"[generale]", "lunghezza percorso,    124000", "[x]"}) + cartelli + "[fine]\r\n",
      stazioni + "[fine]\r\n", 0);
  EXPECT_EQ(p.compilazione.prossimo_cartello, 55);
  EXPECT_EQ(p.compilazione.problema.codice, 10);
  EXPECT_EQ(p.compilazione.tabella_corsa[54].nome, "S54");
  EXPECT_EQ(p.compilazione.tabella_corsa[56].nome, "(X)");

  // With 80 boards the first station would overwrite the last board's text.
  cartelli.clear();
  for (int i = 0; i < 80; ++i)
    cartelli += "cartello_indicatore,  " + std::to_string(10000 + 100 * i) + ",   (B" +
                std::to_string(i + 1) + ")\r\n";
  prova pieno;
  pieno.leggi(
      righe_crlf({"[generale]", "lunghezza percorso,    124000", "[x]"}) + cartelli + "[fine]\r\n",
      stazioni + "[fine]\r\n", 0);
  EXPECT_EQ(pieno.compilazione.problema.codice, 10);
  EXPECT_EQ(pieno.compilazione.tabella_corsa[1].nome, "(B80)");
  EXPECT_EQ(pieno.compilazione.tabella_corsa[1].progressiva, 0);
}

TEST(SorgenteCorsa, FermataOltreLUltimaCella) {
  prova p;
  p.leggi_corsa({"stazione,    7200,  8,  2000,  0, 0, 0,  0,0,0,  0,0,0,    0,   6, 0, 0, A"},
                1000);
  EXPECT_EQ(p.compilazione.problema.codice, 15);
  EXPECT_EQ(p.compilazione.problema.posizione, 7200);
  for (const cella& c : p.compilazione.celle) EXPECT_EQ(c.dato6, 0);
}

TEST(SorgenteCorsa, VelocitaFuoriByteEUnErroreDiLettura) {
  prova p;
  p.leggi_corsa({"velocita,       0,  1278", "velocita,    2050,    95"});
  EXPECT_EQ(p.compilazione.problema.codice, 25);
  EXPECT_FALSE(p.esiste(p.corsa_txt()));
  EXPECT_FALSE(p.esiste(p.linea_txt()));
}

TEST(SorgenteCorsa, SorgenteDellaCorsaAssente) {
  prova p;
  scrivi_testo(p.linea_txt(), sorgente_linea(1000));
  p.compilazione.scrivi_linea = 0;
  p.compilazione.memorizza_dati();
  EXPECT_EQ(p.compilazione.problema.codice, 25);
  EXPECT_EQ(p.compilazione.problema.file, "Ombrasca1_5817-.txt");
  EXPECT_FALSE(p.esiste(p.linea_txt()));
}

TEST(SorgenteCorsa, ControlloDeiSegmentiProgressivi) {
  prova p;
  p.leggi(righe_crlf({"[generale]", "lunghezza percorso,    124000",
                      "progressiva chilometrica uno,    0,    39025,    1", "[curve]", "[fine]"}),
          sorgente_corsa({"vetture,  2"}), 0);
  EXPECT_EQ(p.compilazione.problema.codice, 2);
  EXPECT_EQ(p.compilazione.tabella_corsa[voce_tabella::lunghezza].progressiva, 2);
}

TEST(SorgenteCorsa, UnErroreGiaPresenteFermaAlPrimoSegnale) {
  prova p;
  p.leggi(sorgente_linea(1000, {"pendenza,  9000,   1"}),
          sorgente_corsa({"vetture,  2", "segnale,    2000,   1, 1, 1,  0, 0,    0,  0,0,0, 0",
                          "vetture,  9"}),
          0);
  EXPECT_EQ(p.compilazione.problema.codice, 15);
  EXPECT_EQ(p.compilazione.problema.posizione, 2000);
  EXPECT_EQ(p.compilazione.tabella_corsa[voce_tabella::lunghezza].progressiva, 2);
}

}  // namespace
