#include "tools/compila/modello.h"

#include <gtest/gtest.h>

#include <sstream>

#include "sistema/fine_programma.h"
#include "testing/prova_piattaforma.h"
#include "tools/compila/compila.h"
#include "tools/decompila/comando.h"

namespace {

struct esito {
  int stato;
  std::string uscita;
  std::string errori;
};

template <class F>
esito esegui(F strumento, std::vector<std::string> argomenti) {
  std::ostringstream uscita, errori;
  const int stato = strumento(argomenti, uscita, errori);
  return {stato, uscita.str(), errori.str()};
}

// The model is what an author starts from, in a folder it makes: it compiles
// with no warning even under --rigoroso, and decompila_scenario gives back
// sources that compile into the very same bytes.
TEST(Modello, SiCompilaSenzaAvvisiETornaIndietro) {
  cartella_temporanea t;
  const std::filesystem::path c = t / "lavoro";
  const std::string d = c.string();
  const esito m = esegui(compila_scenario, {"--modello", d, "Prova", "5817"});
  ASSERT_EQ(m.stato, stato_uscita::successo) << m.errori;
  EXPECT_EQ(leggi_testo(c / "Prova_linea.txt"), sorgente_linea_modello());
  EXPECT_EQ(leggi_testo(c / "Prova_5817-.txt"), sorgente_corsa_modello());

  const esito r = esegui(compila_scenario, {"--rigoroso", d, "Prova", "5817"});
  EXPECT_EQ(r.stato, stato_uscita::successo);
  EXPECT_EQ(r.errori, "");

  std::filesystem::create_directory(c / "indietro");
  const esito i =
      esegui(decompila_scenario, {"--in", (c / "indietro").string(), d, "Prova", "5817"});
  EXPECT_EQ(i.stato, stato_uscita::successo) << i.errori;
}

// Text as every source: Windows-1252 (accents as single bytes), CR LF after
// every line, comments that say where the rows are explained.
TEST(Modello, TestoComeOgniSorgente) {
  for (const std::string& t : {sorgente_linea_modello(), sorgente_corsa_modello()}) {
    ASSERT_TRUE(t.ends_with("[fine]\r\n"));
    size_t a_capo = 0;
    for (size_t i = 0; i < t.size(); ++i) {
      if (t[i] != '\n') continue;
      ++a_capo;
      EXPECT_TRUE(i > 0 && t[i - 1] == '\r') << "LF senza CR al byte " << i;
    }
    EXPECT_EQ(a_capo, static_cast<size_t>(std::count(t.begin(), t.end(), '\r')));
    EXPECT_NE(t.find("docs/sorgenti.md"), std::string::npos);
    EXPECT_EQ(t.find("\xC3"), std::string::npos) << "UTF-8 in un sorgente";
  }
}

// Sources already there are never replaced, not even one of the two.
TEST(Modello, NonSostituisceISorgenti) {
  for (const char* presente : {"Prova_linea.txt", "Prova_5817-.txt"}) {
    cartella_temporanea c;
    scrivi_testo(c / presente, "mio");
    const esito e = esegui(compila_scenario, {"--modello", c.percorso().string(), "Prova", "5817"});
    EXPECT_EQ(e.stato, stato_uscita::errore_file) << presente;
    EXPECT_TRUE(e.errori.starts_with("compila_scenario: ")) << e.errori;
    EXPECT_NE(e.errori.find(presente), std::string::npos) << e.errori;
    EXPECT_EQ(c.elenco(), std::vector<std::string>{presente});
    EXPECT_EQ(leggi_testo(c / presente), "mio");
  }
}

}  // namespace
