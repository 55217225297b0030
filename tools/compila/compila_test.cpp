#include "tools/compila/compila.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <sstream>

#include "app/fine_programma.h"
#include "testing/prova_piattaforma.h"

namespace {

struct esito {
  int stato;
  std::string uscita;
  std::string errori;
};

esito compila(std::vector<std::string> argomenti) {
  std::ostringstream uscita, errori;
  const int stato = compila_scenario(argomenti, uscita, errori);
  return {stato, uscita.str(), errori.str()};
}

const std::string linea_prova = sorgente_linea(
    2000, {"pendenza,   0,    0", "curvad4,  500,  300", "cartello_indicatore,  1000,   (PROVA)"});
const std::string corsa_prova = righe_crlf({
    "[generale]",
    "numero vetture,    4",
    "velocita,       0,    80",
    "stazione,    1000, 24,  400,  0, 0, 0,  0,0,0,  0,0,0,    0,   6, 0, 0, PRIMA",
    "[fine]",
});

struct cartella_autore {
  cartella_temporanea c;
  cartella_autore(const std::string& linea = linea_prova, const std::string& corsa = corsa_prova) {
    if (!linea.empty()) scrivi_testo(c / "Prova_linea.txt", linea);
    if (!corsa.empty()) scrivi_testo(c / "Prova_5817-.txt", corsa);
  }
  std::vector<std::string> argomenti(bool senza_linea = false) const {
    std::vector<std::string> a;
    if (senza_linea) a.push_back("--senza-linea");
    a.insert(a.end(), {c.percorso().string(), "Prova", "5817"});
    return a;
  }
};

TEST(CompilaScenario, CompilaLasciandoISorgenti) {
  cartella_autore a;
  const esito e = compila(a.argomenti());
  EXPECT_EQ(e.stato, stato_uscita::successo) << e.errori;
  EXPECT_EQ(a.c.elenco(),
            (std::vector<std::string>{"Prova_5817-.txt", "Prova_5817.dat", "Prova_5817.sim",
                                      "Prova_linea.dat", "Prova_linea.txt"}));
  EXPECT_EQ(leggi_testo(a.c / "Prova_linea.txt"), linea_prova);
  EXPECT_EQ(leggi_testo(a.c / "Prova_5817-.txt"), corsa_prova);
  EXPECT_EQ(leggi_testo(a.c / "Prova_linea.dat").size(), 20u * 2000 + 139964);
  EXPECT_EQ(leggi_testo(a.c / "Prova_5817.dat").size(), 15u * 181);
  const std::string sim = leggi_testo(a.c / "Prova_5817.sim");
  EXPECT_NE(sim.find("PRIMA"), std::string::npos);
  EXPECT_NE(sim.find("(PROVA)"), std::string::npos);
}

TEST(CompilaScenario, UnErroreNominaFileERiga) {
  cartella_autore a(
      linea_prova,
      righe_crlf({"[generale]", "numero vetture,    4",
                  "stazione,    1010, 24,  400,  0, 0, 0,  0,0,0,  0,0,0,  0, 6, 0, 0, X",
                  "[fine]"}));
  const esito e = compila(a.argomenti());
  EXPECT_EQ(e.stato, stato_uscita::errori_compilazione);
  EXPECT_EQ(e.errori, "Errore n. 8 (posizione 1010 m)\n  Prova_5817-.txt, riga 3\n");
  EXPECT_TRUE(std::filesystem::exists(a.c / "Prova_5817-.txt"));
  EXPECT_TRUE(std::filesystem::exists(a.c / "Prova_5817.dat"));

  cartella_autore b(sorgente_linea(2000, {"pendenza,  500,   3", "pendenza,  99999,   3"}));
  const esito f = compila(b.argomenti());
  EXPECT_EQ(f.errori, "Errore n. 15 (posizione 99999 m)\n  Prova_linea.txt, riga 5\n");
}

TEST(CompilaScenario, SenzaLineaNonToccaIlFileDiLinea) {
  cartella_autore a;
  scrivi_testo(a.c / "Prova_linea.dat", "vecchio");
  const esito e = compila(a.argomenti(true));
  EXPECT_EQ(e.stato, stato_uscita::successo) << e.errori;
  EXPECT_EQ(leggi_testo(a.c / "Prova_linea.dat"), "vecchio");
  EXPECT_TRUE(std::filesystem::exists(a.c / "Prova_5817.dat"));
}

TEST(CompilaScenario, NienteDaCompilare) {
  cartella_autore a("", corsa_prova);
  scrivi_testo(a.c / "Prova_5817.sim", "vecchio");
  const esito e = compila(a.argomenti());
  EXPECT_EQ(e.stato, stato_uscita::fermato);
  EXPECT_NE(e.errori.find("101"), std::string::npos) << e.errori;
  EXPECT_EQ(a.c.elenco(), (std::vector<std::string>{"Prova_5817-.txt", "Prova_5817.sim"}));
  EXPECT_EQ(leggi_testo(a.c / "Prova_5817.sim"), "vecchio");
}

TEST(CompilaScenario, UnaCartellaAlPostoDiUnFileCompilato) {
  cartella_autore a;
  scrivi_testo(a.c / "Prova_5817.sim", "vecchio");
  std::filesystem::create_directory(a.c / "Prova_5817.dat");
  const esito e = compila(a.argomenti());
  EXPECT_EQ(e.stato, stato_uscita::errore_file);
  EXPECT_NE(e.errori.find("Prova_5817.dat"), std::string::npos) << e.errori;
  EXPECT_EQ(leggi_testo(a.c / "Prova_5817.sim"), "vecchio");
  EXPECT_EQ(a.c.elenco(), (std::vector<std::string>{"Prova_5817-.txt", "Prova_5817.dat",
                                                    "Prova_5817.sim", "Prova_linea.txt"}));
}

// The compiler deletes the sources it reads, and both of them on a source it
// cannot read (code 25): the author's files must come through either way,
// whether they are plain files or relative symbolic links to files elsewhere.
TEST(CompilaScenario, ISorgentiDellAutoreRestanoQualunqueSiaLEsito) {
  // A row cut short by the end of the file: code 25.
  const std::string corsa_rotta = "[generale]\r\nstazione,    1000, 24,  400,  0";
  for (const bool collegamenti : {false, true}) {
    for (const std::string* corsa : {&corsa_prova, &corsa_rotta}) {
      cartella_autore a("", "");
      if (collegamenti) {
        std::filesystem::create_directory(a.c / "altrove");
        scrivi_testo(a.c / "altrove" / "l.txt", linea_prova);
        scrivi_testo(a.c / "altrove" / "c.txt", *corsa);
        std::filesystem::create_symlink("altrove/l.txt", a.c / "Prova_linea.txt");
        std::filesystem::create_symlink("altrove/c.txt", a.c / "Prova_5817-.txt");
      } else {
        scrivi_testo(a.c / "Prova_linea.txt", linea_prova);
        scrivi_testo(a.c / "Prova_5817-.txt", *corsa);
      }
      const esito e = compila(a.argomenti());
      const char* caso = collegamenti ? "symbolic links" : "plain files";
      if (corsa == &corsa_prova) {
        EXPECT_EQ(e.stato, stato_uscita::successo) << caso << ": " << e.errori;
        EXPECT_EQ(leggi_testo(a.c / "Prova_5817.dat").size(), 15u * 181) << caso;
      } else {
        EXPECT_EQ(e.stato, stato_uscita::errori_compilazione) << caso;
        EXPECT_NE(e.errori.find("Errore n. 25"), std::string::npos) << caso << ": " << e.errori;
      }
      EXPECT_EQ(leggi_testo(a.c / "Prova_linea.txt"), linea_prova) << caso;
      EXPECT_EQ(leggi_testo(a.c / "Prova_5817-.txt"), *corsa) << caso;
      EXPECT_EQ(std::filesystem::is_symlink(a.c / "Prova_linea.txt"), collegamenti) << caso;
    }
  }
}

TEST(CompilaScenario, ArgomentiSbagliati) {
  cartella_autore a;
  const std::string cartella = a.c.percorso().string();
  const std::vector<std::vector<std::string>> casi = {
      {},
      {cartella, "Prova"},
      {cartella, "Prova", "5817", "altro"},
      {"--veloce", cartella, "Prova", "5817"},
      {cartella + "/manca", "Prova", "5817"},
      {cartella, "../Prova", "5817"},
      {cartella, "Prova", "58\\17"},
      {cartella, "Prova", std::string("58\0" "17", 5)},
      {cartella, "", "5817"},
  };
  for (const auto& argomenti : casi) {
    const esito e = compila(argomenti);
    EXPECT_EQ(e.stato, stato_uscita::uso) << ::testing::PrintToString(argomenti);
    EXPECT_FALSE(e.errori.empty());
  }
  const esito h = compila({"--help"});
  EXPECT_EQ(h.stato, stato_uscita::successo);
  EXPECT_NE(h.uscita.find("CARTELLA/NOME_linea.txt"), std::string::npos);
}

// A scenario and its train are named as a file name allows: every digit,
// blanks, dots, dashes, brackets, letters outside ASCII.
TEST(CompilaScenario, NomiConOgniCifra) {
  const std::pair<std::string, std::string> nomi[] = {
      {"Prova", "5807"},          {"Prova0", "10"},    {"0123456789", "2050"},
      {"Linea 9.8-7_6+5", "T-0"}, {"(Ca' Nera)", "0"}, {"Citt\xC3\xA0", "[4]"},
  };
  for (const auto& [nome, treno] : nomi) {
    cartella_temporanea c;
    scrivi_testo(c / (nome + "_linea.txt"), linea_prova);
    scrivi_testo(c / (nome + "_" + treno + "-.txt"), corsa_prova);
    const esito e = compila({c.percorso().string(), nome, treno});
    EXPECT_EQ(e.stato, stato_uscita::successo) << nome << " " << treno << ": " << e.errori;
    EXPECT_EQ(c.elenco().size(), 5u) << nome << " " << treno;
    const std::string sim = leggi_testo(c / (nome + "_" + treno + ".sim"));
    EXPECT_NE(sim.find(nome), std::string::npos) << nome;
    EXPECT_NE(sim.find(treno), std::string::npos) << treno;
  }
}

TEST(CompilaScenario, ComeProcesso) {
  cartella_autore a(linea_prova, righe_crlf({"[generale]", "velocita,       0,  1278", "[fine]"}));
  const std::string comando = std::string(COMPILA_SCENARIO_EXE) + " '" + a.c.percorso().string() +
                              "' Prova 5817 2>'" + (a.c / "errori").string() + "'";
  const int stato = std::system(comando.c_str());
  ASSERT_TRUE(WIFEXITED(stato));
  EXPECT_EQ(WEXITSTATUS(stato), 1);
  EXPECT_EQ(leggi_testo(a.c / "errori"),
            "Errore n. 25 (posizione 0 m)\n  Prova_5817-.txt, riga 2\n");
  EXPECT_TRUE(std::filesystem::exists(a.c / "Prova_5817-.txt"));
  EXPECT_TRUE(std::filesystem::exists(a.c / "Prova_linea.txt"));
}

}  // namespace
