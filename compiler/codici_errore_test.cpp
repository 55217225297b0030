#include "compiler/codici_errore.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>

namespace {

// Authors look a number up by its text: each number once, each with its own words.
TEST(CodiciErrore, OgniNumeroUnaVoltaConUnTesto) {
  std::set<int32_t> numeri;
  std::set<std::string_view> testi;
  for (const voce_errore& e : elenco_errori) {
    const int32_t n = numero_errore(e.codice);
    EXPECT_TRUE(numeri.insert(n).second) << n;
    EXPECT_TRUE(testi.insert(e.testo).second) << e.testo;
    EXPECT_FALSE(e.testo.empty()) << n;
    EXPECT_EQ(testo_errore(n), e.testo) << n;
  }
  EXPECT_TRUE(testo_errore(0).empty());
}

// The authors' list (docs/codici_errore.md) holds every code with the very
// text the tools print.
TEST(CodiciErrore, OgniNumeroNellaTabellaDegliAutori) {
  std::ifstream f(std::string(CARTELLA_PROGETTO) + "/docs/codici_errore.md");
  std::stringstream elenco;
  elenco << f.rdbuf();
  ASSERT_FALSE(elenco.str().empty());
  for (const voce_errore& e : elenco_errori) {
    const std::string riga =
        "| " + std::to_string(numero_errore(e.codice)) + " | " + std::string(e.testo) + " |";
    EXPECT_NE(elenco.str().find(riga), std::string::npos) << riga;
  }
}

}  // namespace
