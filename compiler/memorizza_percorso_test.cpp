#include <gtest/gtest.h>

#include "testing/compilazione_prova.h"

namespace {

using driver = compilazione_prova;

const std::string segnale_in_cella_1 =
    sorgente_corsa({"segnale,   0,   2, 2, 3,  0, 0,    0,  0,0,0, 0"});

TEST(MemorizzaPercorso, ScriveITreFileCompilati) {
  driver d;
  EXPECT_EQ(d.compila(sorgente_linea(0), sorgente_corsa()), stato_uscita::successo);
  EXPECT_EQ(d.cartella.elenco(),
            (std::vector<std::string>{"Ombrasca1_5817.dat", "Ombrasca1_5817.sim",
                                      "Ombrasca1_linea.dat"}));
  EXPECT_EQ(leggi_testo(d.cartella / "Ombrasca1_5817.dat").size(), 2115u);
  EXPECT_EQ(leggi_testo(d.cartella / "Ombrasca1_5817.sim").size(), 2971u);
  EXPECT_EQ(leggi_testo(d.cartella / "Ombrasca1_linea.dat").size(), 139964u);
  EXPECT_EQ(d.compilazione.celle[1].dato1, 5121);
  EXPECT_EQ(d.compilazione.celle[1].dato2, 2296);
  EXPECT_EQ(d.compilazione.tabella_corsa[voce_tabella::scenario].orario, 31605);
}

TEST(MemorizzaPercorso, ConFlagZeroIlFileDiLineaNonETestato) {
  driver d;
  scrivi_testo(d.cartella / "Ombrasca1_linea.dat", "vecchio");
  EXPECT_EQ(d.compila(sorgente_linea(0), sorgente_corsa(), 0), stato_uscita::successo);
  EXPECT_EQ(leggi_testo(d.cartella / "Ombrasca1_linea.dat"), "vecchio");
}

TEST(MemorizzaPercorso, UnErroreDelleSorgentiScriveComunqueIFile) {
  driver d;
  EXPECT_EQ(d.compila(sorgente_linea(0, {"pendenza,  9999,   1"}), sorgente_corsa()),
            stato_uscita::errori_compilazione);
  EXPECT_EQ(d.compilazione.problema.riepilogo(),
            "Errore n. 15 (posizione 9999 m): la posizione cade fuori dal percorso");
  EXPECT_TRUE(std::filesystem::exists(d.cartella / "Ombrasca1_5817.dat"));
}

TEST(MemorizzaPercorso, ConflittoDiIntestazioneNonTestaNessunFile) {
  driver d;
  scrivi_testo(d.cartella / "Ombrasca1_5817.sim", "vecchio");
  EXPECT_EQ(d.compila(sorgente_linea(0), segnale_in_cella_1), stato_uscita::fermato);
  EXPECT_EQ(d.fermate, std::vector<std::string>{" Errore n. 1250"});
  EXPECT_EQ(d.cartella.elenco(), std::vector<std::string>{"Ombrasca1_5817.sim"});
  EXPECT_EQ(leggi_testo(d.cartella / "Ombrasca1_5817.sim"), "vecchio");
}

TEST(MemorizzaPercorso, SenzaTracciatoNonScriveNiente) {
  driver d;
  EXPECT_EQ(d.compila("", sorgente_corsa()), stato_uscita::fermato);
  // Code 102: the line source is deleted, the run source never read.
  EXPECT_EQ(d.cartella.elenco(), std::vector<std::string>{"Ombrasca1_5817-.txt"});
  ASSERT_EQ(d.fermate.size(), 1u);
  EXPECT_NE(d.fermate[0].find("102"), std::string::npos);
}

TEST(MemorizzaPercorso, UnaSecondaCompilazioneRiparteDaZero) {
  driver d;
  d.compila(sorgente_linea(124000, {"cartello_indicatore,  3000,   (A)"}), sorgente_corsa());
  EXPECT_EQ(d.compila(sorgente_linea(0), sorgente_corsa()), stato_uscita::successo);
  EXPECT_EQ(leggi_testo(d.cartella / "Ombrasca1_5817.dat").size(), 2115u);
  EXPECT_EQ(leggi_testo(d.cartella / "Ombrasca1_5817.sim").size(), 2971u);
}

}  // namespace

namespace {

// A slowdown from its row to the code points the post-pass puts around it.
TEST(MemorizzaPercorso, RallentamentoConISuoiPuntiDiCodice) {
  driver d;
  ASSERT_EQ(d.compila(sorgente_linea(124000),
                      sorgente_corsa({"rallentamento,  10000,  60,  1000,  7,  1,  0",
                                      "segnale,   11500,   1, 1, 1,  0, 0,    0,  0,0,0, 0"})),
            stato_uscita::successo);
  const auto tipo = [&](int i) { return d.c(i).tipo; };
  EXPECT_EQ(tipo(201), tipo_cella::inizio_rallentamento);
  EXPECT_EQ(d.c(201).dato1, 60);
  EXPECT_EQ(d.c(201).dato3, 7);
  EXPECT_EQ(tipo(221), tipo_cella::fine_rallentamento);
  EXPECT_EQ(tipo(177), tipo_cella::avviso_rallentamento);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(tipo(176 - i), tipo_cella::segno_avviso);
    EXPECT_EQ(d.c(176 - i).dato1, i + 1);
  }
  // Before the start (three windows), every 8 cells inside, before the next signal.
  for (int i : {196, 190, 183, 209, 217, 230}) {
    EXPECT_EQ(tipo(i), tipo_cella::punto_codice) << i;
    EXPECT_EQ(d.c(i).dato1, 180) << i;
  }
  EXPECT_EQ(tipo(231), tipo_cella::segnale);
}

TEST(MemorizzaPercorso, IndicatoreSuUnaCellaOccupata) {
  driver d;
  EXPECT_EQ(
      d.compila(sorgente_linea(124000, {"cartello_indicatore,  3000,   (A)",
                                        "indicatori_vmax,  3000,  65,  70,  80,  0,  ,  ,  ,  0"}),
                sorgente_corsa()),
      stato_uscita::errori_compilazione);
  EXPECT_EQ(d.compilazione.problema.codice, 21);
  EXPECT_EQ(d.compilazione.problema.posizione, 3000);
  // The line stage ended the operation: the run source was never read.
  EXPECT_FALSE(d.esiste(d.linea_txt()));
  EXPECT_TRUE(d.esiste(d.corsa_txt()));
}

}  // namespace
