#include "app/file_disco.h"

#include <gtest/gtest.h>

#include "app/fine_programma.h"
#include "testing/prova_piattaforma.h"

namespace {

TEST(FileNuovo, IPezziSostituisconoIlFileSoloAllaConferma) {
  cartella_temporanea c;
  const auto file = c / "linea.dat";
  scrivi_testo(file, "vecchio e piu' lungo");
  {
    file_nuovo f(file);
    f.scrivi("uno");
    f.scrivi("");
    f.scrivi("due");
    EXPECT_EQ(leggi_testo(file), "vecchio e piu' lungo") << "not before conferma";
    f.conferma();
    EXPECT_THROW(f.scrivi("tre"), errore_file) << "a confirmed file takes no more";
  }
  EXPECT_EQ(leggi_testo(file), "unodue");
  EXPECT_EQ(c.elenco(), std::vector<std::string>{"linea.dat"});
}

TEST(FileNuovo, SenzaConfermaNonLasciaTracce) {
  cartella_temporanea c;
  const auto file = c / "linea.dat";
  scrivi_testo(file, "vecchio");
  try {
    file_nuovo f(file);
    f.scrivi("mezzo file");
    throw std::runtime_error("guasto a meta' strada");
  } catch (const std::runtime_error&) {
  }
  EXPECT_EQ(leggi_testo(file), "vecchio");
  EXPECT_EQ(c.elenco(), std::vector<std::string>{"linea.dat"});
}

}  // namespace
