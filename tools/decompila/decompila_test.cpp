// The round trip: compiled files -> decompila_scenario -> compila_scenario
// gives back the same bytes, for every scenario below, with and without the
// line file.
#include <gtest/gtest.h>

#include <sstream>

#include "bench/genera_sorgenti.h"
#include "compiler/nomi_scenario.h"
#include "sistema/fine_programma.h"
#include "testing/prova_piattaforma.h"
#include "tools/compila/compila.h"
#include "tools/decompila/comando.h"

namespace fs = std::filesystem;

namespace {

struct esito {
  int stato;
  std::string errori;
};

template <typename F>
esito esegui(F&& strumento, const std::vector<std::string>& argomenti) {
  std::ostringstream uscita, errori;
  const int stato = strumento(argomenti, uscita, errori);
  return {stato, errori.str()};
}

std::vector<std::string> con(bool senza_linea, std::vector<std::string> a) {
  if (senza_linea) a.insert(a.begin(), "--senza-linea");
  return a;
}

// Decompiles the files of `da`, compiles the sources in a folder of their
// own and compares the files byte for byte.
void andata_e_ritorno(const fs::path& da, const std::string& nome, const std::string& treno,
                      bool senza_linea) {
  SCOPED_TRACE(nome + (senza_linea ? " senza linea" : ""));
  cartella_temporanea sorgenti;
  const esito d =
      esegui(decompila_scenario,
             con(senza_linea, {"--in", sorgenti.percorso().string(), da.string(), nome, treno}));
  EXPECT_EQ(d.stato, stato_uscita::successo) << d.errori;
  const esito c =
      esegui(compila_scenario, con(senza_linea, {sorgenti.percorso().string(), nome, treno}));
  ASSERT_EQ(c.stato, stato_uscita::successo) << c.errori;
  const file_scenario f = file_dello_scenario(nome, treno);
  std::vector<std::string> file = {f.tabella, f.tracciato};
  if (!senza_linea) file.push_back(f.linea);
  for (const std::string& n : file) {
    const std::string atteso = leggi_testo(da / n);
    const std::string ottenuto = leggi_testo(sorgenti / n);
    EXPECT_EQ(atteso.size(), ottenuto.size()) << n;
    EXPECT_TRUE(atteso == ottenuto) << n << " differisce";
  }
}

// The files compiled from the given sources.
struct compilato {
  cartella_temporanea c;
  compilato(const std::string& linea, const std::string& corsa, bool senza_linea) {
    scrivi_testo(c / "Prova_linea.txt", linea);
    scrivi_testo(c / "Prova_5817-.txt", corsa);
    const esito e =
        esegui(compila_scenario, con(senza_linea, {c.percorso().string(), "Prova", "5817"}));
    EXPECT_EQ(e.stato, stato_uscita::successo) << e.errori;
    fs::remove(c / "Prova_linea.txt");
    fs::remove(c / "Prova_5817-.txt");
  }
};

TEST(Decompila, IlLavoroPrincipaleTornaByteAByte) {
  form_in_prova p;
  ASSERT_EQ(p.form.esegui([&p] { p.form.Form_Load(); }), stato_uscita::successo);
  for (const bool senza_linea : {false, true})
    andata_e_ritorno(p.cartella.percorso(), "Ombrasca1", "5817", senza_linea);
}

TEST(Decompila, LeLineeGenerateTornanoByteAByte) {
  for (const int32_t metri : {2000, 100000}) {
    const sorgenti_generate s = genera_sorgenti(metri);
    for (const bool senza_linea : {false, true}) {
      compilato c(s.linea, s.corsa, senza_linea);
      andata_e_ritorno(c.c.percorso(), "Prova", "5817", senza_linea);
    }
  }
}

// What the carried and the generated scenarios do not have: slowdowns with
// and without marks next to signals and code points, a short one, one inside
// another, the post-pass's points beside the source's, texts that need
// quotes, spans that follow each other closely, spans over spans (one inside
// another with its markers out of step, neighbours of different kinds after
// an empty span, a stretch cleared by kind 0, the last two cells left to a
// span that no row can start in), boards on both sides, curves that run into
// each other and past the end of the line, a signal with a negative aspect
// written over the approach marks of the one after it, a station written
// after the signal whose farthest approach marks it overwrites.
TEST(Decompila, CasiCheIGeneratiNonHannoTornano) {
  const std::string linea = righe_crlf({
      "[generale]",
      "lunghezza percorso,    12000",
      "progressiva chilometrica uno,    0,    5000,    1",
      "progressiva chilometrica due,    6000,    9000,    2",
      "progressiva chilometrica tre,    7000,    7000,    1",
      "sfondo uno,    2",
      "sfondo due,    300",
      "sfondo tre,    1",
      "ripetizione segnali 4 codici,    1000,    9000",
      "[curve]",
      "curvad6,  300,  200",
      "curvas1,  500,  100",
      "curvas1,  600,  700",
      "curvad2,  18000,  2000",
      "[pendenze]",
      "pendenza,  400,   -35",
      "pendenza,  410,   155",
      "pendenza,  3000,   -100",
      "[montagne]",
      "montagna,   1000,  1400,  12",
      "montagna,   1500,  2000,  11",
      "montagna,   2100,  2600,  2",
      "montagna,   5000,  5050,  13",
      "montagna,   6000,  7000,  11",
      "montagna,   6300,  6500,  2",
      "montagna,   7600,  8000,  2",
      "montagna,   0,  -500,  0",
      "montagna,   8000,  8400,  4",
      "montagna,   9000,  9400,  5",
      "montagna,   0,  0,  0",
      "montagna,   9100,  9200,  0",
      "montagna,   18800,  19050,  1",
      "montagna,   0,  0,  0",
      "montagna,   18500,  18950,  2",
      "[cartelli]",
      "indicatori_vmax,  700,  140,  165,  250,  3,  100,  105,  115,  4",
      "[indicazioni]",
      "cartello_indicatore,  9000,   \" A, B \"",
      "cartello_indicatore,  1100,   (PRIMA)",
      "cartello_indicatore,  4500,   ",
  });
  const std::string corsa = righe_crlf({
      "[generale]",
      "numero vetture,    7",
      "percentuale massa frenata,    95",
      "sabbia,    -3",
      "orologio,    23               59            59 ",
      "velocita,       0,    80",
      "velocita,    2020,    45",
      "aderenza,    1000,    300",
      "stazione,     500, 12,  600,  1, 1, 1,  9,9,9,  9,9,9,  200,   5, 1, 2, \"Capo, Nord\"",
      "stazione,    3000,  6,  400,  1, 7, 1,  0,0,0,  0,0,0,    0,   6, 0, 0, Mezzo",
      "stazione,    6000, 30, 1200,  0, 3, 1,  0,0,0,  0,0,0,    0,  -1,-1,-1, Fondo",
      "rallentamento,    4000,   60,   900,   5,  1,   7",
      "rallentamento,    1000,  120,   300,   0,  1,   0",
      "rallentamento,    8000,  100,    20,   0,  0,   0",
      "rallentamento,    1050,  130,   100,   0,  0,   0",
      "segnale,    2500,   2, 4, 1,  0, 0,    0,  0,0,0, 50",
      "segnale,    5000,   1, 3, 2,  1, 1,    2,  3,2,1, 0",
      "segnale,    8500,   2, 2, 3,  0, 0,    2,  2,0,0, 210",
      "segnale,    6700,   1, 3, 2,  1, 1,    4,  3,2,1, 0",
      "segnale,    6500,   0, 3, 9,  0, 3,   -2,  3,9,6, 0",
      "segnale,   10100,   1, 3, 2,  1, 1,    1,  3,2,1, 0",
      "stazione,    9700, 12,  600,  1, 0, 0,  0,0,0,  0,0,0,    0,   7, 0, 0, Dopo",
      "abbattimento,    2500,   270",
      "abbattimento,    3500,   AC",
      "abbattimento,    5500,   180",
      "[fine]",
  });
  for (const bool senza_linea : {false, true}) {
    compilato c(linea, corsa, senza_linea);
    andata_e_ritorno(c.c.percorso(), "Prova", "5817", senza_linea);
  }
}

// Small scenarios at the edges of what the compiler takes, each round the
// trip with and without the line file: lines of negative length down to a
// track of seven cells; slowdowns whose start is not on 50 m, so that their
// cells round otherwise (from 1501 m the warning board in cell 7; halfway
// between two multiples of 50 m a free cell between the board and its
// marks; two slowdowns a cell apart whose marks either could have left);
// a slowdown whose last value only its marks show;
// the table entries all taken by board texts, with no station between.
TEST(Decompila, CasiAlLimiteTornano) {
  struct caso {
    std::string nome, linea, corsa;
  };
  std::string ottanta_cartelli =
      righe_crlf({"[generale]", "lunghezza percorso,    9000", "[indicazioni]"});
  for (int i = 1; i <= 80; ++i)
    ottanta_cartelli +=
        "cartello_indicatore,  " + std::to_string(100 * i) + ",   T" + std::to_string(i) + "\r\n";
  ottanta_cartelli += "[fine]\r\n";
  const std::vector<caso> casi = {
      {"linea di -50 m", sorgente_linea(-50, {"pendenza,  0,   3"}),
       sorgente_corsa({"velocita,       0,    80"})},
      {"tracciato di sette celle", sorgente_linea(-6700), sorgente_corsa({"aderenza,  0,  30"})},
      {"rallentamento a 1525 m con i segni; ultimo valore 65536", sorgente_linea(5750),
       sorgente_corsa(
           {"rallentamento, 1525, 30, 400, 0, 1, 1", "rallentamento, 4000, 30, 400, 0, 1, 65536"})},
      {"rallentamento a 1510 m, avviso nella cella 7", sorgente_linea(5750),
       sorgente_corsa({"rallentamento, 1510, 30, 400, 0, 1, 0",
                       "segnale, 3000, 2, 40, 9, 3, 70, 5, 9, 9, 9, 50"})},
      {"due rallentamenti a una cella, segni del secondo", sorgente_linea(9000),
       sorgente_corsa(
           {"rallentamento, 1925, 60, 500, 0, 1, 1", "rallentamento, 1900, 30, 1000, 0, 0, 0",
            "rallentamento, 5025, 60, 500, 0, 1, 0", "rallentamento, 5000, 30, 1000, 0, 0, 0"})},
      {"ottanta testi di cartelli", ottanta_cartelli, sorgente_corsa()},
      {"indicatore con una coppia negativa",
       sorgente_linea(9000, {"indicatori_vmax,  3950,  -10,  70,  80,  3,  250,  0,  0,  4"}),
       sorgente_corsa()},
  };
  for (const caso& k : casi) {
    SCOPED_TRACE(k.nome);
    for (const bool senza_linea : {false, true}) {
      compilato c(k.linea, k.corsa, senza_linea);
      andata_e_ritorno(c.c.percorso(), "Prova", "5817", senza_linea);
    }
  }
}

TEST(Decompila, NonSostituisceISorgentiEDiceCioCheNonTorna) {
  form_in_prova p;
  ASSERT_EQ(p.form.esegui([&p] { p.form.Form_Load(); }), stato_uscita::successo);
  const std::string cartella = p.cartella.percorso().string();
  scrivi_testo(p.cartella / "Ombrasca1_5817-.txt", "mio");
  esito e = esegui(decompila_scenario, {cartella, "Ombrasca1", "5817"});
  EXPECT_EQ(e.stato, stato_uscita::errore_file);
  EXPECT_NE(e.errori.find("Ombrasca1_5817-.txt"), std::string::npos) << e.errori;
  EXPECT_EQ(leggi_testo(p.cartella / "Ombrasca1_5817-.txt"), "mio");

  // A cell that no source gives: a stop whose station is not there.
  std::string tracciato = leggi_testo(p.cartella / "Ombrasca1_5817.dat");
  tracciato[15 * 30] = 10;
  scrivi_testo(p.cartella / "Ombrasca1_5817.dat", tracciato);
  e = esegui(decompila_scenario, {"--sovrascrivi", cartella, "Ombrasca1", "5817"});
  EXPECT_EQ(e.stato, 1);
  EXPECT_NE(e.errori.find("Ombrasca1_5817.dat: byte 450: "), std::string::npos) << e.errori;
  EXPECT_NE(leggi_testo(p.cartella / "Ombrasca1_5817-.txt"), "mio");
}

}  // namespace
