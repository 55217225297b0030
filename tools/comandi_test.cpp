// The tools for authors take the same help options and the same three names,
// and every message that is not about a file names the tool that gives it.
#include <gtest/gtest.h>

#include <sstream>

#include "tools/compila/compila.h"
#include "tools/decompila/comando.h"
#include "tools/esamina/comando.h"

namespace {

TEST(ComandiPerAutori, ParlanoAlloStessoModo) {
  using esecuzione = int (*)(const std::vector<std::string>&, std::ostream&, std::ostream&);
  const std::pair<std::string, esecuzione> comandi[] = {{"compila_scenario", compila_scenario},
                                                        {"esamina_scenario", esegui_esamina},
                                                        {"decompila_scenario", decompila_scenario}};
  // Names that would lead outside the folder, or to no file of the scenario.
  const std::vector<std::vector<std::string>> sbagliati = {
      {},
      {"cartella", "nome"},
      {"--boh", "cartella", "nome", "treno"},
      {".", "", "treno"},
      {".", "../nome", "treno"},
      {".", "nome", "tre\\no"},
      {".", "nome", std::string("tre\0no", 6)}};
  for (const auto& [nome, esegui] : comandi) {
    for (const char* aiuto : {"--help", "-h"}) {
      std::ostringstream uscita, errori;
      EXPECT_EQ(esegui({aiuto}, uscita, errori), 0) << nome << " " << aiuto;
      EXPECT_NE(uscita.str().find("uso: " + nome), std::string::npos) << nome << " " << aiuto;
      EXPECT_EQ(errori.str(), "") << nome;
    }
    for (const auto& argomenti : sbagliati) {
      std::ostringstream uscita, errori;
      EXPECT_EQ(esegui(argomenti, uscita, errori), 2) << nome;
      EXPECT_TRUE(errori.str().starts_with(nome + ": ")) << errori.str();
    }
  }
}

}  // namespace
