// compila_scenario run as real processes that are killed at any moment, that
// run beside one another on one folder, and that find what earlier runs left.
// Whatever happens, each compiled file is the old one or the new one, the
// next program started on the folder finds the three of one run, the
// author's sources and files stay, and the next normal run leaves the folder
// holding exactly what it should.
#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <thread>

#include "bench/genera_sorgenti.h"
#include "sistema/blocchi.h"
#include "sistema/file_disco.h"
#include "sistema/fine_programma.h"
#include "testing/processo_prova.h"
#include "testing/prova_piattaforma.h"

namespace fs = std::filesystem;
using namespace std::chrono;

namespace {

const std::vector<std::string> compilati = {"Prova_linea.dat", "Prova_5817.sim", "Prova_5817.dat"};
const std::vector<std::string> sorgenti = {"Prova_linea.txt", "Prova_5817-.txt"};

// Files an author keeps beside a scenario whose names look like the programs'
// temporary files and private folders, and are not: names near theirs, and
// their very names on the other kind (a file named as a private folder).
const std::vector<std::string> file_somiglianti = come_nel_sistema(
    {"x.tmp1", "Prova_linea.dat.tmp123456789", ".Prova_linea.dat.in_scrittura.12a",
     ".Prova_5817.sim.in_scrittura.", ".compila_scenario.42.bak", ".compila_scenario.77"});
const std::vector<std::string> cartelle_somiglianti = come_nel_sistema(
    {".compila_scenario.mia", ".compila_scenario.", ".Prova_5817.dat.in_scrittura.5"});

void scrivi_sorgenti_di(const fs::path& c, const sorgenti_generate& s) {
  scrivi_testo(c / sorgenti[0], s.linea);
  scrivi_testo(c / sorgenti[1], s.corsa);
}

std::vector<std::string> argomenti(const cartella_temporanea& c) {
  return {c.percorso().string(), "Prova", "5817"};
}

std::map<std::string, std::string> leggi_compilati(const fs::path& c) {
  std::map<std::string, std::string> r;
  for (const std::string& f : compilati) r[f] = leggi_testo(c / f);
  return r;
}

std::vector<std::string> ordinati(std::vector<std::string> v) {
  std::sort(v.begin(), v.end());
  return v;
}

// The names in `c` that are neither in `attesi` nor the programs' leftovers.
std::vector<std::string> estranei(const cartella_temporanea& c,
                                  const std::vector<std::string>& attesi, int& avanzi) {
  std::vector<std::string> r;
  for (const std::string& nome : c.elenco()) {
    if (std::find(attesi.begin(), attesi.end(), nome) != attesi.end()) continue;
    if (avanzo_dei_programmi(nome, fs::is_directory(c / nome))) {
      ++avanzi;
      continue;
    }
    r.push_back(nome);
  }
  return r;
}

// A long line, compiled alone: its compiled files and how long a run takes,
// the shortest of three: a first start can take many times longer (a cold
// cache, or under an emulator its own start), and kills spread over that
// would mostly come after the end.
struct compilazione_sola {
  std::map<std::string, std::string> file;
  microseconds durata = microseconds::max();
  explicit compilazione_sola(const sorgenti_generate& s) {
    cartella_temporanea c;
    scrivi_sorgenti_di(c.percorso(), s);
    for (int volta = 0; volta < 3; ++volta) {
      const auto inizio = steady_clock::now();
      const esito_processo e = esegui_processo(COMPILA_SCENARIO_EXE, argomenti(c));
      durata = std::min(durata, duration_cast<microseconds>(steady_clock::now() - inizio));
      EXPECT_TRUE(e.uscito && e.stato == stato_uscita::successo) << e.errori;
    }
    file = leggi_compilati(c.percorso());
  }
};

constexpr int32_t metri_lunga = 300000;

TEST(CompilaScenarioUccisa, OgniFileCompilatoEVecchioONuovoEIlGiroDopoPulisce) {
  const uint32_t seme = 17;
  SCOPED_TRACE("seme " + std::to_string(seme));
  const sorgenti_generate s = genera_sorgenti(metri_lunga);
  const compilazione_sola nuova(s);
  SCOPED_TRACE("una corsa sola: " + std::to_string(nuova.durata.count()) + " us");

  cartella_temporanea c;
  scrivi_sorgenti_di(c.percorso(), s);
  const auto metti_vecchi = [&] {
    for (const std::string& f : compilati)
      if (leggi_testo(c / f) != "vecchio " + f) scrivi_testo(c / f, "vecchio " + f);
  };
  metti_vecchi();
  for (const std::string& f : file_somiglianti) scrivi_testo(c / f, "mio");
  for (const std::string& f : cartelle_somiglianti) fs::create_directory(c / f);
  std::vector<std::string> attesi = ordinati([&] {
    std::vector<std::string> v = sorgenti;
    v.insert(v.end(), compilati.begin(), compilati.end());
    v.insert(v.end(), file_somiglianti.begin(), file_somiglianti.end());
    v.insert(v.end(), cartelle_somiglianti.begin(), cartelle_somiglianti.end());
    return v;
  }());

  // From the start of the process to well past the end of a run alone.
  std::mt19937 caso(seme);
  int64_t ritardo_massimo = nuova.durata.count() * 13 / 10;
  int con_avanzi = 0, finite = 0, misti = 0, misti_dopo = 0;
  const int uccisioni = uccisioni_di_prova(40);
  // More kills, up to four times as many, while they have not yet covered the
  // run: some killed in the middle, some after the end.
  const auto coperta = [&] { return con_avanzi > 0 && finite > 0; };
  int fatte = 0;
  for (int uccisione = 0; uccisione < uccisioni || (!coperta() && uccisione < 4 * uccisioni);
       ++uccisione) {
    // A machine busier than when the run was timed runs it slower: while no
    // run has finished, the kills spread further.
    if (finite == 0 && uccisione > 0 && uccisione % 10 == 0) ritardo_massimo *= 2;
    const microseconds dopo{std::uniform_int_distribution<int64_t>(0, ritardo_massimo)(caso)};
    ++fatte;
    SCOPED_TRACE("uccisione " + std::to_string(uccisione) + " dopo " +
                 std::to_string(dopo.count()) + " us");
    const esito_processo e = esegui_e_uccidi(COMPILA_SCENARIO_EXE, argomenti(c), dopo);
    if (e.uscito) {
      ++finite;
      EXPECT_EQ(e.stato, stato_uscita::successo) << e.errori;
    }
    int di_nuovi = 0;
    for (const std::string& f : compilati) {
      const std::string b = leggi_testo(c / f);
      EXPECT_TRUE(b == "vecchio " + f || b == nuova.file.at(f)) << f;
      di_nuovi += b == nuova.file.at(f);
    }
    misti += di_nuovi % 3 != 0;
    // Another program on the folder completes a replacement left half done
    // before it reads.
    ASSERT_TRUE(esegui_processo(ESAMINA_SCENARIO_EXE, argomenti(c)).uscito);
    const std::map<std::string, std::string> dopo_avvio = leggi_compilati(c.percorso());
    const bool intero = dopo_avvio == nuova.file ||
                        std::all_of(compilati.begin(), compilati.end(), [&](const std::string& f) {
                          return dopo_avvio.at(f) == "vecchio " + f;
                        });
    EXPECT_TRUE(intero) << "a mixed set after the next start";
    misti_dopo += !intero;
    EXPECT_TRUE(leggi_testo(c / sorgenti[0]) == s.linea);
    EXPECT_TRUE(leggi_testo(c / sorgenti[1]) == s.corsa);
    int avanzi = 0;
    EXPECT_EQ(estranei(c, attesi, avanzi), std::vector<std::string>{});
    con_avanzi += avanzi > 0;
    metti_vecchi();
  }
  // Else the kills did not cover the run, and the last check proves little.
  EXPECT_GT(con_avanzi, 0);
  EXPECT_GT(finite, 0);
  std::cout << "uccisioni: " << fatte << ", insiemi misti subito dopo: " << misti
            << ", dopo l'avvio seguente: " << misti_dopo << std::endl;

  const esito_processo e = esegui_processo(COMPILA_SCENARIO_EXE, argomenti(c));
  ASSERT_TRUE(e.uscito);
  EXPECT_EQ(e.stato, stato_uscita::successo) << e.errori;
  EXPECT_EQ(c.elenco(), attesi);
  EXPECT_TRUE(leggi_compilati(c.percorso()) == nuova.file);
  for (const std::string& f : file_somiglianti) EXPECT_EQ(leggi_testo(c / f), "mio") << f;
}

// Runs the process in short steps, looking at `c` only while it is held
// still, until `trovato` holds for the folder's entries: then true, the
// process held still. False if it ended first. However busy the machine, the
// process cannot get past a state between two looks.
template <class F>
bool ferma_quando(processo_avviato& p, const cartella_temporanea& c, F trovato) {
  for (;;) {
    p.ferma();
    if (trovato(c.elenco())) return true;
    if (p.finito()) return false;
    p.riprendi();
    std::this_thread::sleep_for(microseconds(100));
  }
}

// Two processes: one holds its files, the other cleans up around them.
TEST(AvanziDeiProgrammi, QuelliDiUnaCorsaVivaRestano) {
  const sorgenti_generate s = genera_sorgenti(metri_lunga);
  const compilazione_sola nuova(s);
  {
    // This test holds a file being written; a whole run in its folder leaves it.
    cartella_temporanea c;
    scrivi_sorgenti_di(c.percorso(), s);
    file_nuovo vivo(c / "altro.dat");
    vivo.scrivi("scritto da una corsa viva");
    const esito_processo e = esegui_processo(COMPILA_SCENARIO_EXE, argomenti(c));
    EXPECT_TRUE(e.uscito && e.stato == stato_uscita::successo) << e.errori;
    vivo.conferma();
    EXPECT_EQ(leggi_testo(c / "altro.dat"), "scritto da una corsa viva");
    EXPECT_EQ(temporanei_rimasti(c.percorso()), std::vector<std::string>{});
  }
  // A live run's private folder and the compiled files it is writing survive
  // a clean-up from this test. The run is caught writing a file, past marking
  // it (a file has content only once marked; its folder was marked before),
  // and before its journal, which only a holder of the folder's lock
  // completes. It is held still meanwhile, so that it cannot end first; a run
  // that ends between two looks is started again.
  bool vista = false;
  for (int corsa = 0; corsa < 5 && !vista; ++corsa) {
    SCOPED_TRACE("corsa " + std::to_string(corsa));
    cartella_temporanea c;
    scrivi_sorgenti_di(c.percorso(), s);
    processo_avviato p(COMPILA_SCENARIO_EXE, argomenti(c));
    std::vector<std::string> vivi;
    vista = ferma_quando(p, c, [&](const std::vector<std::string>& nomi) {
      vivi.clear();
      bool privata = false, scritto = false;
      for (const std::string& nome : nomi) {
        if (nome == ".insieme_in_sostituzione") return false;
        std::error_code ec;
        const bool e_cartella = fs::is_directory(c / nome);
        if (!avanzo_dei_programmi(nome, e_cartella)) continue;
        if (e_cartella) {
          privata = true;
        } else if (fs::file_size(c / nome, ec) > 0 && !ec) {
          scritto = true;
        } else {
          continue;  // perhaps not marked yet: a clean-up may take it, and the run makes another
        }
        vivi.push_back(nome);
      }
      return privata && scritto;
    });
    if (vista) {
      pulisci_avanzi(c.percorso());
      for (const std::string& nome : vivi) EXPECT_TRUE(fs::exists(c / nome)) << nome;
      p.riprendi();
    }
    const esito_processo e = p.attendi();
    EXPECT_TRUE(e.uscito && e.stato == stato_uscita::successo) << e.errori;
    EXPECT_TRUE(leggi_compilati(c.percorso()) == nuova.file);
    EXPECT_EQ(temporanei_rimasti(c.percorso()), std::vector<std::string>{});
  }
  EXPECT_TRUE(vista) << "no run was caught writing";
}

// Runs started together on one folder, the sources changed under them as
// they start: the three compiled files at the end all come from one set of
// sources, each run having done its job whole, one after the other.
TEST(CompilaScenarioInsieme, ITreFileVengonoDaUnaSolaCorsa) {
  // Lines of different lengths under one run: every compiled file differs.
  const std::string corsa = genera_sorgenti(100000).corsa;
  std::vector<sorgenti_generate> versioni;
  std::vector<std::map<std::string, std::string>> attesi;
  for (int32_t km : {100, 102, 104, 106}) {
    versioni.push_back({genera_sorgenti(km * 1000).linea, corsa});
    attesi.push_back(compilazione_sola(versioni.back()).file);
  }
  for (size_t v = 1; v < attesi.size(); ++v)
    for (const char* f : {"Prova_linea.dat", "Prova_5817.dat"})
      ASSERT_NE(attesi[v].at(f), attesi[v - 1].at(f)) << f;

  const std::string attesa = "in attesa che finisca un'altra compilazione in ";
  int in_attesa = 0;
  // Three rounds, and more while no run has had to wait: where starting a
  // process takes longer than a run (under an emulator), runs started one
  // after the other may not overlap at first.
  for (int giro = 0; giro < 3 || (in_attesa == 0 && giro < 12); ++giro) {
    SCOPED_TRACE("giro " + std::to_string(giro));
    cartella_temporanea c;
    std::vector<std::unique_ptr<processo_avviato>> corse;
    for (const sorgenti_generate& v : versioni) {
      // Each line source in place whole, by a rename, as an editor saves it.
      // Windows refuses to replace a file that a run is reading, for as long
      // as it reads it: the editor tries again.
      scrivi_testo(c / "nuova", v.linea);
      for (int prova = 0;; ++prova) {
        std::error_code ec;
        fs::rename(c / "nuova", c / sorgenti[0], ec);
        if (!ec) break;
        ASSERT_LT(prova, 5000) << ec.message();
        std::this_thread::sleep_for(milliseconds(1));
      }
      if (!fs::exists(c / sorgenti[1])) scrivi_testo(c / sorgenti[1], v.corsa);
      corse.push_back(std::make_unique<processo_avviato>(COMPILA_SCENARIO_EXE, argomenti(c)));
    }
    for (auto& p : corse) {
      const esito_processo e = p->attendi();
      EXPECT_TRUE(e.uscito && e.stato == stato_uscita::successo) << e.errori;
      // Nothing, or the one line that says it waited.
      EXPECT_TRUE(e.errori.empty() || e.errori == attesa + c.percorso().string() + "\n")
          << e.errori;
      in_attesa += !e.errori.empty();
    }
    const auto finali = leggi_compilati(c.percorso());
    EXPECT_EQ(std::count(attesi.begin(), attesi.end(), finali), 1)
        << "the compiled files are not all from one run";
    EXPECT_EQ(c.elenco(),
              ordinati({sorgenti[0], sorgenti[1], compilati[0], compilati[1], compilati[2]}));
  }
  // Runs that start together overlap: some of them waited.
  EXPECT_GT(in_attesa, 0);
}

// A folder held by another run makes a run wait, and says so once; a run on
// another folder goes on meanwhile.
TEST(CompilaScenarioInsieme, AspettaSoloChiScriveNellaStessaCartella) {
  const sorgenti_generate s = genera_sorgenti(2000);
  cartella_temporanea tenuta, libera;
  scrivi_sorgenti_di(tenuta.percorso(), s);
  scrivi_sorgenti_di(libera.percorso(), s);
  std::optional<blocco_cartella> blocco;
  blocco.emplace(tenuta.percorso(), [] {});
  processo_avviato in_coda(COMPILA_SCENARIO_EXE, argomenti(tenuta));
  const std::string attesa =
      "in attesa che finisca un'altra compilazione in " + tenuta.percorso().string() + "\n";
  ASSERT_EQ(in_coda.prima_riga(), attesa);
  const esito_processo accanto = esegui_processo(COMPILA_SCENARIO_EXE, argomenti(libera));
  EXPECT_TRUE(accanto.uscito && accanto.stato == stato_uscita::successo) << accanto.errori;
  EXPECT_EQ(accanto.errori, "");
  EXPECT_FALSE(fs::exists(tenuta / compilati[0])) << "it did not wait";
  blocco.reset();
  const esito_processo e = in_coda.attendi();
  EXPECT_TRUE(e.uscito && e.stato == stato_uscita::successo) << e.errori;
  EXPECT_EQ(e.errori, attesa) << "said once";
  EXPECT_TRUE(leggi_compilati(tenuta.percorso()) == leggi_compilati(libera.percorso()));
}

}  // namespace
