// The tools for authors take the same help options and the same three names,
// and every message that is not about a file names the tool that gives it.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "app/aiuto.h"
#include "bench/genera_sorgenti.h"
#include "sistema/fine_programma.h"
#include "testing/processo_prova.h"
#include "testing/prova_piattaforma.h"
#include "tools/compila/compila.h"
#include "tools/decompila/comando.h"
#include "tools/esamina/comando.h"

namespace {

TEST(ComandiPerAutori, ParlanoAlloStessoModo) {
  using esecuzione = int (*)(const std::vector<std::string>&, std::ostream&, std::ostream&);
  const std::pair<std::string, esecuzione> comandi[] = {
      {"compila_scenario", compila_scenario},
      {"esamina_scenario", esegui_esamina},
      {"decompila_scenario", decompila_scenario},
      {"genera_scenario", rispondi_agli_argomenti}};
  // Names that would lead outside the folder, or to no file of the scenario.
  const std::vector<std::vector<std::string>> sbagliati = {
      {},
      {"cartella", "nome"},
      {"--boh", "cartella", "nome", "treno"},
      {".", "", "treno"},
      {".", "../nome", "treno"},
      {".", "nome", "tre\\no"},
      {".", "nome", std::string("tre\0no", 6)},
      {"manca_questa_cartella", "nome", "treno"},
      {"--json=1", ".", "nome", "treno"}};
  cartella_temporanea vuota;
  for (const auto& [nome, esegui] : comandi) {
    const bool strumento = nome != "genera_scenario";
    // The help: the same layout, the same statuses, on standard output.
    for (const char* aiuto : {"--help", "-h"}) {
      std::ostringstream uscita, errori;
      EXPECT_EQ(esegui({aiuto}, uscita, errori), stato_uscita::successo) << nome << " " << aiuto;
      EXPECT_TRUE(uscita.str().starts_with("uso: " + nome)) << nome << " " << aiuto;
      EXPECT_TRUE(uscita.str().ends_with(std::string("\n\n") + esito_programmi)) << nome;
      EXPECT_EQ(errori.str(), "") << nome;
    }
    // A wrong option: why, then the short usage and where the help is.
    {
      std::ostringstream uscita, errori;
      EXPECT_EQ(esegui({"--boh"}, uscita, errori), stato_uscita::uso) << nome;
      EXPECT_TRUE(errori.str().starts_with(nome + ": ")) << errori.str();
      EXPECT_NE(errori.str().find("\nuso: " + nome), std::string::npos) << errori.str();
      EXPECT_TRUE(errori.str().ends_with(nome + ": --help per l'aiuto completo\n")) << errori.str();
      EXPECT_EQ(errori.str().find("Esito:"), std::string::npos) << nome << ": the whole help";
      EXPECT_EQ(uscita.str(), "") << nome;
    }
    if (!strumento) continue;
    for (const auto& argomenti : sbagliati) {
      std::ostringstream uscita, errori;
      EXPECT_EQ(esegui(argomenti, uscita, errori), stato_uscita::uso) << nome;
      EXPECT_TRUE(errori.str().starts_with(nome + ": ")) << errori.str();
    }
    // A folder with nothing the tool reads.
    std::ostringstream uscita, errori;
    EXPECT_EQ(esegui({vuota.percorso().string(), "Prova", "5817"}, uscita, errori),
              stato_uscita::niente_da_leggere)
        << nome << "\n"
        << errori.str();
    EXPECT_TRUE(errori.str().starts_with(nome + ": in ")) << errori.str();
  }
}

// Every message of the tools is UTF-8 with its accents, never "e'" for "è".
TEST(ComandiPerAutori, MessaggiConGliAccenti) {
  using esecuzione = int (*)(const std::vector<std::string>&, std::ostream&, std::ostream&);
  for (const esecuzione esegui :
       {esecuzione{compila_scenario}, esecuzione{esegui_esamina}, esecuzione{decompila_scenario}}) {
    std::ostringstream uscita, errori;
    esegui({"--help"}, uscita, errori);
    esegui({"manca_questa_cartella", "nome", "treno"}, uscita, errori);
    for (const std::string& t : {uscita.str(), errori.str()})
      for (const char* vecchio : {" e' ", "piu'", "gia'", "c'e'"})
        EXPECT_EQ(t.find(vecchio), std::string::npos) << vecchio << " in:\n" << t;
  }
}

// An option's value after "=" and the names after "--" are taken by every
// tool; decompila_scenario makes the folder it is told to write in.
TEST(ComandiPerAutori, OpzioniConUgualeENomiDopoIlDoppioTrattino) {
  namespace fs = std::filesystem;
  cartella_temporanea c;
  scrivi_sorgenti(c.percorso(), "Prova", "5817", 2000);
  const std::string cartella = c.percorso().string();
  std::ostringstream uscita, errori;
  EXPECT_EQ(compila_scenario({"--rigoroso", "--", cartella, "Prova", "5817"}, uscita, errori), 0)
      << errori.str();
  const fs::path disegno = c / "x.svg";
  EXPECT_EQ(esegui_esamina({"--svg=" + disegno.string(), "--", cartella, "Prova", "5817"}, uscita,
                           errori),
            0)
      << errori.str();
  EXPECT_TRUE(fs::is_regular_file(disegno));
  const fs::path nuova = c / "nuova" / "sotto";
  EXPECT_EQ(
      decompila_scenario({"--in=" + nuova.string(), cartella, "Prova", "5817"}, uscita, errori), 0)
      << errori.str();
  EXPECT_TRUE(fs::is_regular_file(nuova / "Prova_linea.txt"));
  EXPECT_TRUE(fs::is_regular_file(nuova / "Prova_5817-.txt"));
}

#ifdef _WIN32
// Windows would hand "\u03a9mega" over as "Omega": an author's folder or name
// that way becomes another one, which a compilation would then overwrite.
TEST(ComandiPerAutori, UnNomeCheWindowsStorpierebbeERifiutato) {
  namespace fs = std::filesystem;
  cartella_temporanea c;
  fs::create_directory(c.percorso() / fs::path(u8"\u03a9mega"));
  const fs::path simile = c / "Omega";
  fs::create_directory(simile);
  for (const char* nome : {"Omega", "Prova"}) scrivi_sorgenti(simile, nome, "5817", 2000);
  const auto elenco = [&] {
    std::vector<fs::path> v{fs::directory_iterator(simile), fs::directory_iterator()};
    std::sort(v.begin(), v.end());
    return v;
  };
  const std::vector<fs::path> prima = elenco();
  const std::string cartella = c.percorso().string() + "/";  // the arguments are UTF-8
  const std::vector<std::vector<std::string>> storpiati = {
      {cartella + "\u03a9mega", "Prova", "5817"}, {cartella + "Omega", "\u03a9mega", "5817"}};
  for (const auto& argomenti : storpiati) {
    const esito_processo e = esegui_processo(COMPILA_SCENARIO_EXE, argomenti);
    EXPECT_EQ(e.stato, 2) << argomenti[0] << " " << argomenti[1];
    EXPECT_TRUE(e.errori.starts_with("compila_scenario: l'argomento n. ")) << e.errori;
  }
  EXPECT_EQ(elenco(), prima);
}
#endif

}  // namespace
