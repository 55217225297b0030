#include "sistema/file_disco.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <system_error>

#include "sistema/fine_programma.h"
#include "testing/cartella_prova.h"

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

// The line file arrives as two parts written side by side; room set aside
// beforehand, more or less than what is written, never shows in the file.
TEST(FileNuovo, PezziAlLoroPostoERiservaSenzaByteInPiu) {
  struct caso {
    const char* nome;
    uint64_t riservati;
  };
  for (const caso& c : {caso{"no room set aside", 0}, caso{"the exact size", 12},
                        caso{"more than written", 1 << 20}, caso{"less than written", 5}}) {
    cartella_temporanea cartella;
    const auto file = cartella / "linea.dat";
    scrivi_testo(file, "un vecchio file piu' lungo del nuovo");
    file_nuovo f(file);
    f.riserva(c.riservati);
    f.scrivi_a(6, "ghi");
    f.scrivi_a(0, "abc");
    f.scrivi_a(9, "jkl");
    f.scrivi_a(3, "def");
    f.conferma();
    EXPECT_EQ(leggi_testo(file), "abcdefghijkl") << c.nome;
    EXPECT_EQ(cartella.elenco(), std::vector<std::string>{"linea.dat"}) << c.nome;
  }
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

// The tests' full disk: a file may grow up to the limit and not a byte past
// it, the failure keeps the old file, and lifting the limit ends it.
TEST(FileNuovo, IlLimiteDiProvaEUnDiscoPieno) {
  cartella_temporanea c;
  const auto file = c / "linea.dat";
  scrivi_testo(file, "vecchio");
  struct tolto {
    ~tolto() { limita_file_per_prova(std::nullopt); }
  } alla_fine;
  limita_file_per_prova(10);
  EXPECT_THROW(sostituisci_file(file, "undici byte"), errore_file);
  EXPECT_EQ(leggi_testo(file), "vecchio");
  EXPECT_EQ(c.elenco(), std::vector<std::string>{"linea.dat"});
  sostituisci_file(file, "dieci byte");
  EXPECT_EQ(leggi_testo(file), "dieci byte");
  limita_file_per_prova(std::nullopt);
  sostituisci_file(file, "undici byte");
  EXPECT_EQ(leggi_testo(file), "undici byte");
}

// Each program's private folders: a live run's stays through a clean-up, one
// left by a dead run goes with what it holds, names near theirs stay.
// Three files replaced as one set, with the move of one of them failing (a
// folder stands in its place). Wherever it fails, the set is old or new once
// the next run has completed the replacement, and nothing is left behind.
// A journal tampered with to name an author's file moves nothing.
TEST(SostituisciInsieme, UnInsiemeInteroQualunqueMossaFallisca) {
  const std::vector<std::string> nomi = {"a.sim", "a.dat", "a_linea.dat"};
  int lasciati_a_meta = 0;
  for (size_t guasto = 0; guasto < nomi.size(); ++guasto) {
    for (const bool manomesso : {false, true}) {
      const std::string caso = nomi[guasto] + (manomesso ? ", diario manomesso" : "");
      cartella_temporanea c;
      for (const std::string& n : nomi) scrivi_testo(c / n, "vecchio " + n);
      scrivi_testo(c / "mio.txt", "mio");
      {
        std::vector<std::unique_ptr<file_nuovo>> f;
        for (const std::string& n : nomi) {
          f.push_back(std::make_unique<file_nuovo>(c / n));
          f.back()->scrivi("nuovo " + n);
        }
        std::filesystem::remove(c / nomi[guasto]);
        std::filesystem::create_directory(c / nomi[guasto]);
        std::filesystem::create_directory(c / nomi[guasto] / "dentro");
        EXPECT_THROW(sostituisci_insieme({f[0].get(), f[1].get(), f[2].get()}), errore_file)
            << caso;
      }
      std::filesystem::remove_all(c / nomi[guasto]);
      scrivi_testo(c / nomi[guasto], "vecchio " + nomi[guasto]);
      const bool a_meta = std::filesystem::exists(c / ".insieme_in_sostituzione");
      lasciati_a_meta += a_meta;
      if (a_meta && manomesso) {
        std::string diario = leggi_testo(c / ".insieme_in_sostituzione");
        const size_t t = diario.find("." + nomi[2] + ".in_scrittura.");
        ASSERT_NE(t, std::string::npos) << caso;
        diario.replace(t, diario.find('\0', t) - t, "mio.txt");
        scrivi_testo(c / ".insieme_in_sostituzione", diario);
      }
      completa_sostituzione(c.percorso());
      pulisci_avanzi(c.percorso());
      int nuovi = 0;
      for (const std::string& n : nomi) nuovi += leggi_testo(c / n) == "nuovo " + n;
      if (guasto == 0) {
        EXPECT_EQ(nuovi, 0) << caso << ": nothing had moved";
      }
      if (!manomesso) {
        EXPECT_TRUE(nuovi == 0 || nuovi == 3) << caso << ": a mixed set";
      }
      EXPECT_EQ(leggi_testo(c / "mio.txt"), "mio") << caso;
      std::vector<std::string> attesi = nomi;
      attesi.push_back("mio.txt");
      std::sort(attesi.begin(), attesi.end());
      EXPECT_EQ(c.elenco(), attesi) << caso;
    }
  }
#ifndef _WIN32
  // Here a folder in a file's place shows only at its rename, so the later
  // failures come after a first move; Windows finds it before any.
  EXPECT_EQ(lasciati_a_meta, 4);
#endif
}

TEST(CartellaPrivata, DiCorsaVivaRestaDiCorsaMortaVa) {
  namespace fs = std::filesystem;
  for (const auto& [programma, nome] :
       {std::pair{programma_cartella::compila_scenario, std::string("compila_scenario")},
        std::pair{programma_cartella::decompila_scenario, std::string("decompila_scenario")}}) {
    SCOPED_TRACE(nome);
    cartella_temporanea c;
    const std::string morta = "." + nome + ".123";
    const std::vector<std::string> somiglianti =
        come_nel_sistema({"." + nome + ".", "." + nome + ".12a", nome + ".7"});
    fs::create_directory(c / morta);
    scrivi_testo(c / morta / "Prova_linea.txt", "di una corsa uccisa");
    for (const std::string& s : somiglianti) fs::create_directory(c / s);
    const cartella_privata viva(c.percorso(), programma);
    scrivi_testo(viva.percorso() / "Prova_linea.txt", "della corsa viva");
    const std::string nome_viva = viva.percorso().filename().string();
    EXPECT_TRUE(nome_viva.starts_with("." + nome + ".")) << nome_viva;
    EXPECT_TRUE(avanzo_dei_programmi(nome_viva, true));
    EXPECT_TRUE(avanzo_dei_programmi(morta, true));
    EXPECT_FALSE(avanzo_dei_programmi(morta, false)) << "a file of that name is not ours";

    pulisci_avanzi(c.percorso());
    std::vector<std::string> attesi = somiglianti;
    attesi.push_back(nome_viva);
    std::sort(attesi.begin(), attesi.end());
    std::vector<std::string> rimasti = c.elenco();
    std::sort(rimasti.begin(), rimasti.end());
    EXPECT_EQ(rimasti, attesi);
    EXPECT_EQ(leggi_testo(viva.percorso() / "Prova_linea.txt"), "della corsa viva");
  }
}

TEST(LeggiFile, InteroOppureUnErroreCheNominaIlFile) {
  cartella_temporanea c;
  std::string grande(200000, 'x');
  grande[123456] = '\0';
  scrivi_testo(c / "grande.txt", grande);
  EXPECT_EQ(leggi_file(c / "grande.txt"), grande);
  scrivi_testo(c / "vuoto.txt", "");
  EXPECT_EQ(leggi_file(c / "vuoto.txt"), "");
  std::filesystem::create_directory(c / "cartella.txt");
  for (const char* nome : {"manca.txt", "cartella.txt"}) {
    try {
      leggi_file(c / nome);
      ADD_FAILURE() << nome;
    } catch (const errore_file& e) {
      EXPECT_NE(e.file().find(nome), std::string::npos);
    }
  }
}

// A failure says what went wrong and what to do in the user's language, not
// in the system's own text (English, or on Windows in a code page the console
// may not show).
TEST(MotivoErrore, OgniGuastoNelleParoleDelProgramma) {
  namespace fs = std::filesystem;
  cartella_temporanea c;
  scrivi_testo(c / "file.txt", "x");
  fs::create_directory(c / "cartella");
  struct caso {
    const char* nome;
    std::function<void()> azione;
    const char* parole;
  };
  const caso casi[] = {
      {"scrittura in una cartella che manca", [&] { sostituisci_file(c / "no" / "a.txt", "a"); },
       "non c'è"},
      // Windows says the path is not there; others, which part is wrong.
      {"scrittura sotto un file", [&] { sostituisci_file(c / "file.txt" / "a.txt", "a"); },
       "percorso"},
      {"scrittura al posto di una cartella", [&] { sostituisci_file(c / "cartella", "a"); },
       "è una cartella, non un file"},
      {"lettura di un file che manca", [&] { leggi_file(c / "no.txt"); }, "non c'è"},
      {"lettura di una cartella", [&] { file_in_lettura f(c / "cartella"); },
       "è una cartella, non un file"},
#ifdef _WIN32
      // What the simulator does to a compiled file while it runs.
      {"scrittura su un file tenuto aperto",
       [&] {
         const tenuto_aperto aperto(c / "file.txt");
         sostituisci_file(c / "file.txt", "y");
       },
       "accesso negato: chiudi il programma che tiene aperto il file"},
#endif
  };
  for (const caso& k : casi) {
    try {
      k.azione();
      ADD_FAILURE() << k.nome << ": nessun errore";
    } catch (const errore_file& e) {
      EXPECT_NE(e.motivo().find(k.parole), std::string::npos) << k.nome << ": " << e.motivo();
    }
  }
  EXPECT_EQ(c.elenco(), (std::vector<std::string>{"cartella", "file.txt"}));
  // A failure the list does not know keeps its number, and the system's text.
  EXPECT_TRUE(
      motivo_errore({9999, std::generic_category()}).starts_with("errore n. 9999 del sistema ("));
}

TEST(EliminaFile, SoloFileEMaiUnaCartella) {
  cartella_temporanea c;
  scrivi_testo(c / "a.txt", "a");
  std::filesystem::create_directory(c / "b.txt");
  elimina_file(c / "a.txt");
  elimina_file(c / "a.txt");  // already gone: no failure
  elimina_file(c / "b.txt");
  EXPECT_EQ(c.elenco(), std::vector<std::string>{"b.txt"});
}

}  // namespace
