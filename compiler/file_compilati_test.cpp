#include "compiler/file_compilati.h"

#include <gtest/gtest.h>

#include <vector>

#include "compiler/codifica.h"
#include "compiler/numeri.h"
#include "testing/compilazione_prova.h"

namespace {

// Sizes the records as the line reader does for a line of L metres, with the
// plan as a straight line: points 0 and 1 Integers, doubles up to L + 6998.
void dimensiona(compilatore& f, int32_t L) {
  f.tabella_corsa[voce_tabella::lunghezza].fine = L;
  f.lunghezza_estesa = L + 7000;
  f.ultima_cella = static_cast<int32_t>(arrotonda((L + 7000) / 50.0));
  f.celle.assign(f.ultima_cella + 1, cella{});
  f.punti_linea.crea(f.lunghezza_estesa);
  f.punti_linea.inizia(0, 0, 0, 1);
  f.punti_linea.dritto_fino(f.lunghezza_estesa - 2);
}

TEST(TabellaCompilata, CorsaVuotaConINomiDelloScenario) {
  compilazione_prova p;
  p.compilazione.tabella_corsa[voce_tabella::scenario].nome = "Ombrasca1";
  p.compilazione.tabella_corsa[voce_tabella::treno].nome = "5817";
  const std::string b = codifica_tabella(p.compilazione.tabella_corsa);
  EXPECT_EQ(b.size(), 2971u);
  // Entry 0 is all zeros with an empty name.
  EXPECT_EQ(b.substr(0, 34), std::string(34, '\0'));
}

TEST(TabellaCompilata, UnNomeDiDodiciCaratteriOccupaQuarantaseiByte) {
  compilazione_prova p;
  voce_corsa& v = p.compilazione.tabella_corsa[1];
  v.tipo = 24;
  v.inizio = 12250;
  v.fine = 12550;
  v.progressiva = 12400;
  v.byte1 = 1;
  v.nome = "SAN PIETRO 2";
  v.intero1 = -1;
  v.intero3 = 4;
  v.byte3 = 30;
  v.byte5 = 7;
  v.orario = 22980;
  p.compilazione.tabella_corsa[2].tipo = 99;
  const std::string b = codifica_tabella(p.compilazione.tabella_corsa);
  const size_t e = 34;  // entry 1 follows the empty entry 0
  EXPECT_EQ(static_cast<uint8_t>(b[e]), 24);
  EXPECT_EQ(leggi_a<int32_t>(b, e + 1), 12250);
  EXPECT_EQ(leggi_a<int32_t>(b, e + 5), 12550);
  EXPECT_EQ(leggi_a<int32_t>(b, e + 9), 12400);
  EXPECT_EQ(static_cast<uint8_t>(b[e + 13]), 1);
  EXPECT_EQ(leggi_a<int16_t>(b, e + 14), 12);
  EXPECT_EQ(b.substr(e + 16, 12), "SAN PIETRO 2");
  EXPECT_EQ(leggi_a<int16_t>(b, e + 28), -1);
  EXPECT_EQ(leggi_a<int16_t>(b, e + 32), 4);
  EXPECT_EQ(static_cast<uint8_t>(b[e + 39]), 30);
  EXPECT_EQ(static_cast<uint8_t>(b[e + 41]), 7);
  EXPECT_EQ(leggi_a<int32_t>(b, e + 42), 22980);
  EXPECT_EQ(static_cast<uint8_t>(b[e + 46]), 99) << "entry 2 starts right after 46 bytes";
  EXPECT_EQ(b.size(), 87u * 34 + 12);
}

TEST(TracciatoCompilato, QuindiciByteACellaNellOrdineDeiCampi) {
  std::vector<cella> celle(2);
  celle[1] = cella{14, 80, -2, 3, 4, 225, 84, 2, 19, 65, 90};
  const std::string b = codifica_tracciato(celle);
  ASSERT_EQ(b.size(), 30u);
  EXPECT_EQ(b.substr(0, 15), std::string(15, '\0'));
  const unsigned char attesi[] = {14, 80, 0, 0xFE, 0xFF, 3, 0, 4, 0, 225, 84, 2, 19, 65, 90};
  for (size_t i = 0; i < 15; ++i) EXPECT_EQ(static_cast<uint8_t>(b[15 + i]), attesi[i]) << i;
}

TEST(FileCompilati, LineaZeroMetri) {
  compilazione_prova p;
  dimensiona(p.compilazione, 0);
  EXPECT_EQ(p.compilazione.ultima_cella, 140);
  EXPECT_EQ(codifica_tracciato(p.compilazione.celle).size(), 2115u);
  const std::string linea = codifica_linea(p.compilazione.punti_linea);
  ASSERT_EQ(linea.size(), 139964u);
  // Each half: two Integers, L + 6997 Doubles, two empty values.
  const size_t meta = linea.size() / 2;
  EXPECT_EQ(leggi_a<uint16_t>(linea, 0), tipo_valore::intero);
  EXPECT_EQ(leggi_a<int16_t>(linea, 2), 0);
  EXPECT_EQ(leggi_a<uint16_t>(linea, meta), tipo_valore::intero);
  EXPECT_EQ(leggi_a<int16_t>(linea, meta + 4 + 2), 1) << "point 1 = (0, 1)";
  EXPECT_EQ(leggi_a<uint16_t>(linea, meta + 8), tipo_valore::doppio);
  EXPECT_EQ(leggi_a<double>(linea, meta + 10), 2.0);
  EXPECT_EQ(leggi_a<uint16_t>(linea, linea.size() - 4), tipo_valore::vuoto);
  EXPECT_EQ(leggi_a<uint16_t>(linea, linea.size() - 2), tipo_valore::vuoto);
  EXPECT_EQ(leggi_a<uint16_t>(linea, meta - 14), tipo_valore::doppio);
}

TEST(FileCompilati, DimensioneDelFileDiLineaCresceDiVentiByteAlMetro) {
  for (int32_t L : {1, 50, 1234}) {
    compilazione_prova p;
    dimensiona(p.compilazione, L);
    EXPECT_EQ(codifica_linea(p.compilazione.punti_linea).size(), 20u * L + 139964u) << L;
  }
}

// The pieces, each put in its place, are the whole file whatever their size,
// with every kind of element, a piece boundary falling inside or between
// them, and the two coordinates of a metre of different kinds.
TEST(FileCompilati, LineaAPezziUgualeAllaLineaIntera) {
  punti_piano punti;
  punti.crea(40);
  for (int32_t m = 0; m <= 36; ++m) {
    if (m % 7 == 3) {
      punti.metti_intero(m, m % 2, static_cast<int16_t>(-m * 1000));
    } else {
      punti.metti_doppio(m, 0, m * -0.001);
      punti.metti_doppio(m, 1, m + 0.5);
    }
  }
  const std::string intera = codifica_linea(punti);
  // 64 Doubles (10 bytes each), 5 Integers (4), 13 empty values (2).
  ASSERT_EQ(intera.size(), 64u * 10 + 5u * 4 + 13u * 2);
  // Point 10's first half: after nine Doubles and the empty half of point 3.
  EXPECT_EQ(leggi_a<uint16_t>(intera, 92), tipo_valore::intero);
  EXPECT_EQ(leggi_a<int16_t>(intera, 94), -10000);
  // The first part: 32 Doubles, the Integers of points 10 and 24, 7 empty values.
  const uint64_t meta = byte_coordinata(punti, 0);
  ASSERT_EQ(meta, 32u * 10 + 2u * 4 + 7u * 2);
  for (size_t pezzo :
       {size_t{1}, size_t{9}, size_t{10}, size_t{11}, size_t{333}, size_t{1} << 20}) {
    std::string unita(intera.size(), '?');
    uint64_t fine_x = 0;
    uint64_t fine_y = meta;
    codifica_linea_a_pezzi(punti, pezzo, [&](uint64_t posizione, std::string_view p) {
      ASSERT_FALSE(p.empty());
      EXPECT_LT(p.size(), pezzo + 5120) << "a piece overruns by one block at most";
      // Each part's pieces follow each other with no gap and no overlap.
      uint64_t& fine = posizione < meta ? fine_x : fine_y;
      EXPECT_EQ(posizione, fine) << pezzo;
      ASSERT_LE(posizione + p.size(), posizione < meta ? meta : intera.size()) << pezzo;
      unita.replace(posizione, p.size(), p);
      fine = posizione + p.size();
    });
    EXPECT_EQ(fine_x, meta) << pezzo;
    EXPECT_EQ(fine_y, intera.size()) << pezzo;
    EXPECT_EQ(unita, intera) << pezzo;
  }
}

TEST(FileCompilati, IntestazioniConINomiDelloScenario) {
  compilazione_prova p;
  dimensiona(p.compilazione, 0);
  p.compilazione.tabella_corsa[voce_tabella::scenario].nome = "Ombrasca1";
  p.compilazione.tabella_corsa[voce_tabella::treno].nome = "5817";
  p.compilazione.riempi_intestazioni();
  const std::string t = codifica_tracciato(p.compilazione.celle);
  EXPECT_EQ(static_cast<uint8_t>(t[16]), 0x01);
  EXPECT_EQ(static_cast<uint8_t>(t[17]), 0x14);
  EXPECT_EQ(static_cast<uint8_t>(t[18]), 0xF8);
  EXPECT_EQ(static_cast<uint8_t>(t[19]), 0x08);
  const std::string s = codifica_tabella(p.compilazione.tabella_corsa);
  const size_t e85 = 85 * 34;  // entries 0 to 84 are empty-named here
  EXPECT_EQ(s.substr(e85 + 16, 9), "Ombrasca1");
  EXPECT_EQ(s.substr(e85 + 16 + 9, 2), std::string("\x62\x02", 2));
  EXPECT_EQ(s.substr(e85 + 16 + 9 + 14, 4), std::string("\x75\x7B\x00\x00", 4));
}

TEST(CodiciGara, DaiNomiDelloScenario) {
  struct caso {
    const char* treno;
    const char* scenario;
    int og;
    int st;
  };
  // With both names empty the codes come from the fixed text alone, its first
  // 25 of 26 characters; case never matters; characters past 25 never count.
  const std::string fisso = "aabbccddeeffgghhiillmmnno";
  int og_vuoto = 0, st_vuoto = 0;
  for (int i = 1; i <= 25; ++i) {
    og_vuoto += static_cast<unsigned char>(fisso[i - 1]);
    st_vuoto += static_cast<unsigned char>(fisso[i - 1]) * i;
  }
  const caso casi[] = {
      {"5817", "Ombrasca1", 2296, 31605},
      {"5817", "OMBRASCA1", 2296, 31605},
      {"", "", og_vuoto, st_vuoto},
  };
  for (const caso& c : casi) {
    compilazione_prova p;
    p.compilazione.tabella_corsa[voce_tabella::treno].nome = c.treno;
    p.compilazione.tabella_corsa[voce_tabella::scenario].nome = c.scenario;
    EXPECT_EQ(p.compilazione.codice_gara_og(), c.og) << c.scenario;
    EXPECT_EQ(p.compilazione.codice_gara_st(), c.st) << c.scenario;
  }
  compilazione_prova lungo;
  lungo.compilazione.tabella_corsa[voce_tabella::treno].nome = "5817";
  lungo.compilazione.tabella_corsa[voce_tabella::scenario].nome =
      "Ombrasca1abcdefghijklmnopqrstuvwxyz";
  compilazione_prova lungo2;
  lungo2.compilazione.tabella_corsa[voce_tabella::treno].nome = "5817";
  lungo2.compilazione.tabella_corsa[voce_tabella::scenario].nome = "Ombrasca1abcdefghijklmZZZZZZ";
  EXPECT_EQ(lungo.compilazione.codice_gara_st(), lungo2.compilazione.codice_gara_st());
}

TEST(CodiciGara, ConflittoNelleIntestazioniFermaIlProgramma) {
  struct caso {
    const char* nome;
    void (*guasta)(compilatore&);
    const char* messaggio;
  };
  const caso casi[] = {
      {"codice formato in tabella",
       [](compilatore& f) { f.tabella_corsa[voce_tabella::scenario].intero1 = 1; },
       " Errore n. 1250"},
      {"codice formato in cella 1", [](compilatore& f) { f.celle[1].dato1 = 42; },
       " Errore n. 1250"},
      {"codice gara in tabella",
       [](compilatore& f) { f.tabella_corsa[voce_tabella::scenario].orario = 7; },
       " Errore n. 1251"},
      {"codice gara in cella 1", [](compilatore& f) { f.celle[1].dato2 = -1; }, " Errore n. 1251"},
  };
  for (const caso& c : casi) {
    compilazione_prova p;
    dimensiona(p.compilazione, 0);
    c.guasta(p.compilazione);
    try {
      p.compilazione.riempi_intestazioni();
      ADD_FAILURE() << c.nome << ": the error stop did not end the run";
    } catch (const compilazione_fermata& fermata) {
      EXPECT_EQ(fermata.motivo, compilazione_fermata::perche::errore_stop) << c.nome;
      EXPECT_EQ(fermata.testo(), c.messaggio) << c.nome;
    }
  }
}

TEST(FileCompilati, SostituisconoIlFileVecchioSenzaCodaERispettanoIlFlag) {
  compilazione_prova p;
  dimensiona(p.compilazione, 0);
  scrivi_testo(p.cartella / "Ombrasca1_5817.dat", std::string(100000, 'x'));
  scrivi_testo(p.cartella / "Ombrasca1_linea.dat", "vecchio");
  p.compilazione.scrivi_linea = 0;
  p.compilazione.scrivi_compilati();
  EXPECT_EQ(leggi_testo(p.cartella / "Ombrasca1_5817.dat"),
            codifica_tracciato(p.compilazione.celle));
  EXPECT_EQ(leggi_testo(p.cartella / "Ombrasca1_linea.dat"), "vecchio");
  EXPECT_EQ(p.cartella.elenco(),
            (std::vector<std::string>{"Ombrasca1_5817.dat", "Ombrasca1_5817.sim",
                                      "Ombrasca1_linea.dat"}));
  p.compilazione.scrivi_linea = 1;
  p.compilazione.scrivi_compilati();
  EXPECT_EQ(leggi_testo(p.cartella / "Ombrasca1_linea.dat").size(), 139964u);
}

TEST(FileCompilati, UnaScritturaFallitaLasciaIlFileVecchio) {
  compilazione_prova p;
  dimensiona(p.compilazione, 0);
  scrivi_testo(p.cartella / "Ombrasca1_5817.sim", "tabella vecchia");
  // A folder where the track file should go cannot be replaced.
  std::filesystem::create_directory(p.cartella / "Ombrasca1_5817.dat");
  p.compilazione.scrivi_linea = 0;
  try {
    p.compilazione.scrivi_compilati();
    ADD_FAILURE() << "the failed write was not reported";
  } catch (const errore_file& e) {
    EXPECT_NE(e.file().find("Ombrasca1_5817.dat"), std::string::npos);
  }
  EXPECT_TRUE(std::filesystem::is_directory(p.cartella / "Ombrasca1_5817.dat"));
  EXPECT_EQ(p.cartella.elenco(),
            (std::vector<std::string>{"Ombrasca1_5817.dat", "Ombrasca1_5817.sim"}))
      << "no temporary file is left behind";
}

// The plan as the rules for the line source describe it, metre by metre and
// held whole: the reference that the line file, walked from the stretches
// the reader kept, must match byte for byte.
struct curva_attesa {
  int64_t inizio, lunghezza;
  double k;
};

struct piano_atteso {
  int32_t ultimo;
  std::vector<uint16_t> tipi[2];
  std::vector<double> valori[2];

  piano_atteso(int32_t L, const std::vector<curva_attesa>& curve) : ultimo(L + 7000) {
    for (int k = 0; k < 2; ++k) {
      tipi[k].assign(ultimo + 1, tipo_valore::vuoto);
      valori[k].assign(ultimo + 1, 0.0);
    }
    tipi[0][0] = tipi[1][0] = tipi[0][1] = tipi[1][1] = tipo_valore::intero;
    valori[1][1] = 1;
    int64_t m = 2;
    double x1 = 0, y1 = 1, x2 = 0, y2 = 0;
    const auto passo = [&](bool curva, double k) {
      const double dx = x1 - x2, dy = y1 - y2;
      const double x = curva ? x1 + (dy * k + dx) : x1 + dx;
      const double y = curva ? y1 + (dy - dx * k) : y1 + dy;
      if (m <= ultimo) {
        tipi[0][m] = tipi[1][m] = tipo_valore::doppio;
        valori[0][m] = x;
        valori[1][m] = y;
      }
      x2 = x1, y2 = y1, x1 = x, y1 = y;
      ++m;
    };
    for (const curva_attesa& c : curve) {
      while (m <= c.inizio) {
        passo(false, 0);
        if (m > 1000000) return;  // code 103: the plan ends here
      }
      while (m <= c.inizio + c.lunghezza) {
        passo(true, c.k);
        if (m > 1000000) return;
      }
    }
    while (m <= ultimo - 2) passo(false, 0);
  }
};

// A line file encoded element by element from any source of values.
template <typename T, typename V>
std::string linea_da(int32_t ultimo, const T& tipo, const V& valore) {
  codifica b;
  for (int k = 0; k < 2; ++k) {
    for (int32_t m = 0; m <= ultimo; ++m) {
      const uint16_t t = tipo(m, k);
      b.u16(t);
      if (t == tipo_valore::intero) b.i16(static_cast<int16_t>(valore(m, k)));
      if (t == tipo_valore::doppio) b.f64(valore(m, k));
    }
  }
  return b.prendi();
}

TEST(FileCompilati, LineaDaiTrattiUgualeAlPianoMetroPerMetro) {
  struct caso {
    const char* nome;
    int32_t L;
    std::vector<std::string> righe;
    std::vector<curva_attesa> curve;  // those the reader gets to
    int32_t codice;
  };
  const caso casi[] = {
      {"dritta", 3000, {}, {}, 0},
      {"curve di fila",
       3000,
       {"curvad4,  500,  300", "curvas6,  900,  400", "curvad1,  1400,  10",
        "curvas3,  1410,  200"},
       {{500, 300, 0.001}, {900, 400, -0.003}, {1400, 10, 0.0001}, {1410, 200, -0.0004}},
       0},
      {"curve che iniziano o finiscono prima del punto da calcolare",
       2000,
       {"curvad4,  500,  300", "curvas2,  600,  500", "curvad6,  100,  200", "curvad3,  1100,  0"},
       {{500, 300, 0.001}, {600, 500, -0.0002}, {100, 200, 0.003}, {1100, 0, 0.0004}},
       0},
      {"inizio e lunghezza negativi",
       2000,
       {"curvad3,  -50,  400", "curvas1,  2000,  -100"},
       {{-50, 400, 0.0004}, {2000, -100, -0.0001}},
       0},
      {"curva oltre la fine del piano", 0, {"curvad4,  6000,  5000"}, {{6000, 5000, 0.001}}, 0},
      {"curva fino al penultimo punto", 1000, {"curvas5,  7900,  99"}, {{7900, 99, -0.002}}, 0},
      {"riga fuori percorso: le curve dopo non contano",
       2000,
       {"curvad4,  500,  300", "pendenza,  9000,  3", "curvad4,  3000,  300"},
       {{500, 300, 0.001}},
       15},
      {"tetto a metà rincorsa",
       1000000,
       {"curvad2,  300000,  400", "curvad4,  1000500,  300"},
       {{300000, 400, 0.0002}, {1000500, 300, 0.001}},
       103},
      {"tetto a metà arco", 1000000, {"curvas5,  999000,  5000"}, {{999000, 5000, -0.002}}, 103},
      {"tetto sul punto 1 000 000",
       1000000,
       {"curvas5,  1000000,  0"},
       {{1000000, 0, -0.002}},
       103},
      {"arco fino a 999 999: la fine del piano passa il tetto",
       1000000,
       {"curvad1,  999000,  999"},
       {{999000, 999, 0.0001}},
       0},
  };
  for (const caso& c : casi) {
    compilazione_prova p;
    std::string linea =
        "[generale]\r\nlunghezza percorso,    " + std::to_string(c.L) + "\r\n[curve]\r\n";
    for (const std::string& r : c.righe) linea += r + "\r\n";
    p.leggi(linea + "[fine]\r\n");
    ASSERT_EQ(p.compilazione.problema.codice, c.codice) << c.nome;
    const punti_piano& piano = p.compilazione.punti_linea;
    ASSERT_FALSE(piano.tenuto_in_memoria()) << c.nome;
    const std::string a_pezzi = codifica_linea(piano);
    EXPECT_FALSE(piano.tenuto_in_memoria()) << c.nome << ": writing the file holds no plan";

    const piano_atteso atteso(c.L, c.curve);
    EXPECT_TRUE(a_pezzi == linea_da(
                               atteso.ultimo, [&](int32_t m, int k) { return atteso.tipi[k][m]; },
                               [&](int32_t m, int k) { return atteso.valori[k][m]; }))
        << c.nome << ": not the plan of the rules";
    EXPECT_TRUE(a_pezzi == linea_da(
                               piano.ultimo(), [&](int32_t m, int k) { return piano.tipo(m, k); },
                               [&](int32_t m, int k) { return piano.valore(m, k); }))
        << c.nome << ": not the plan of the values in memory";
    ASSERT_TRUE(piano.tenuto_in_memoria()) << c.nome;
    EXPECT_TRUE(a_pezzi == codifica_linea(piano)) << c.nome << ": from the copy in memory";
  }
}

}  // namespace
