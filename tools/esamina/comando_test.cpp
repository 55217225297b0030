#include "tools/esamina/comando.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "sistema/file_disco.h"
#include "sistema/fine_programma.h"
#include "testing/compilazione_prova.h"
#include "testing/prova_piattaforma.h"
#include "tools/esamina/prova_confronto.h"
#include "tools/esamina/prova_json.h"
#include "tools/esamina/prova_scenario.h"

namespace {

struct esito {
  int stato;
  std::string uscita, errori;
};

esito esegui(const std::vector<std::string>& argomenti) {
  std::ostringstream uscita, errori;
  const int stato = esegui_esamina(argomenti, uscita, errori);
  return {stato, uscita.str(), errori.str()};
}

// The fixture's three files written into the test's folder.
struct cartella_di_prova {
  compilazione_prova p;
  std::string cartella;
  cartella_di_prova() {
    riempi_scenario_di_prova(p.compilazione);
    p.compilazione.scrivi_compilati();
    cartella = p.cartella.percorso().string();
  }
};

TEST(ComandoEsamina, ArgomentiSbagliati) {
  for (const std::vector<std::string>& argomenti : {std::vector<std::string>{},
                                                    {"cartella", "Ombrasca1"},
                                                    {"a", "b", "c", "d"},
                                                    {"--svg"},
                                                    {"a", "b", "c", "--html"},
                                                    {"--colori", "a", "b", "c"}}) {
    const esito e = esegui(argomenti);
    EXPECT_EQ(e.stato, 2);
    EXPECT_NE(
        e.errori.find("uso: esamina_scenario [--json] [--svg FILE] [--html FILE] [--silenzioso]"),
        std::string::npos);
    EXPECT_EQ(e.uscita, "");
  }
  EXPECT_EQ(esegui({"--aiuto"}).stato, 0);
}

TEST(ComandoEsamina, FileSaniEsceZero) {
  cartella_di_prova c;
  const esito e = esegui({c.cartella, "Ombrasca1", "5817"});
  EXPECT_EQ(e.stato, 0);
  EXPECT_EQ(e.errori, "");
  EXPECT_NE(e.uscita.find("Verifica: nessun problema"), std::string::npos);
}

TEST(ComandoEsamina, FileDanneggiatiUnaRigaPerProblemaEdEsceUno) {
  cartella_di_prova c;
  std::string tabella = leggi_testo(c.p.cartella / "Ombrasca1_5817.sim");
  tabella += "??";
  scrivi_testo(c.p.cartella / "Ombrasca1_5817.sim", tabella);
  std::string tracciato = leggi_testo(c.p.cartella / "Ombrasca1_5817.dat");
  tracciato[16] = 0;
  scrivi_testo(c.p.cartella / "Ombrasca1_5817.dat", tracciato);
  std::filesystem::remove(c.p.cartella / "Ombrasca1_linea.dat");

  const esito e = esegui({"--json", c.cartella, "Ombrasca1", "5817"});
  EXPECT_EQ(e.stato, 1);
  EXPECT_EQ(e.errori,
            "Ombrasca1_linea.dat: file mancante o illeggibile\n"
            "Ombrasca1_5817.sim: byte " +
                std::to_string(tabella.size() - 2) +
                ": 2 byte oltre la voce 86, che dovrebbe essere l'ultima\n"
                "Ombrasca1_5817.dat: byte 16: cella 1: codice di formato 5120 invece di 5121\n");
  const valore_json doc = analizza_json(e.uscita).value();
  EXPECT_FALSE(doc["valido"].b);
  EXPECT_EQ(doc["problemi"].elementi.size(), 3u);
  EXPECT_EQ(doc["problemi"][2]["byte"].intero(), 16);
  EXPECT_TRUE(doc["problemi"][0]["byte"].g == valore_json::genere::nullo);
  EXPECT_FALSE(doc["file"]["linea"]["presente"].b);
}

TEST(ComandoEsamina, DisegnoNelFileChiesto) {
  cartella_di_prova c;
  const std::string svg = (c.p.cartella / "scenario.svg").string();
  EXPECT_EQ(esegui({c.cartella, "Ombrasca1", "5817", "--svg", svg}).stato, 0);
  EXPECT_EQ(leggi_testo(svg).rfind("<?xml", 0), 0u);

  const esito e = esegui(
      {"--svg", (c.p.cartella / "manca" / "x.svg").string(), c.cartella, "Ombrasca1", "5817"});
  EXPECT_EQ(e.stato, 4);
  EXPECT_NE(e.errori.find("impossibile scrivere il disegno"), std::string::npos);

  const std::string html = (c.p.cartella / "scenario.html").string();
  EXPECT_EQ(esegui({c.cartella, "Ombrasca1", "5817", "--html", html}).stato, 0);
  EXPECT_EQ(leggi_testo(html).rfind("<!DOCTYPE html>", 0), 0u);
  const esito h = esegui(
      {"--html", (c.p.cartella / "manca" / "x.html").string(), c.cartella, "Ombrasca1", "5817"});
  EXPECT_EQ(h.stato, 4);
  EXPECT_NE(h.errori.find("impossibile scrivere la pagina"), std::string::npos);

  // Quiet: only what was asked for, the report left out.
  for (const char* q : {"-q", "--silenzioso"}) {
    const esito s = esegui({q, "--svg=" + svg, "--html=" + html, c.cartella, "Ombrasca1", "5817"});
    EXPECT_EQ(s.stato, 0) << q;
    EXPECT_EQ(s.uscita, "") << q;
    const esito j = esegui({q, "--json", c.cartella, "Ombrasca1", "5817"});
    EXPECT_EQ(j.uscita.rfind("{", 0), 0u) << q;
  }
}

// End to end: compiled files written by the compiler, read back by the
// command, and compared field by field with the records it held in memory.
TEST(EsameContraMemoria, FileScrittiDalCompilatore) {
  compilazione_prova p;
  riempi_scenario_di_prova(p.compilazione);
  p.compilazione.scrivi_compilati();
  confronta_cartella(p.compilazione, p.cartella.percorso());
}

// The carried scenario, compiled by the whole run. Until the compiler reads
// its sources the run stops before writing any compiled file; the test waits
// for that and then checks itself.
TEST(EsameContraMemoria, ScenarioPortato) {
  form_in_prova p;
  const int stato = p.form.avvia();
  const compilatore& c = p.form.compilazione;
  const bool scritti = std::filesystem::exists(c.file_linea()) &&
                       std::filesystem::exists(c.file_tabella()) &&
                       std::filesystem::exists(c.file_tracciato());
  if (stato == stato_uscita::fermato || !scritti)
    GTEST_SKIP() << "il compilatore non ha ancora scritto i file compilati (stato " << stato << ")";
  EXPECT_EQ(c.problema.codice, 0);
  confronta_cartella(c, p.cartella.percorso());
}

}  // namespace
