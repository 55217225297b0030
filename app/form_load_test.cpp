#include <gtest/gtest.h>

#include <sstream>

#include "compiler/numeri.h"
#include "sources/scenario_portato.h"
#include "testing/processo_prova.h"
#include "testing/prova_piattaforma.h"
#include "testing/righe_sorgente.h"

namespace {

namespace fs = std::filesystem;

const std::vector<std::string> file_compilati = {"Ombrasca1_5817.dat", "Ombrasca1_5817.sim",
                                                 "Ombrasca1_linea.dat"};

// The carried scenario, compiled once for the tests that look at its records.
struct scenario_compilato : form_in_prova {
  int stato = avvia_una_volta();
  int avvia_una_volta() { return form.avvia(); }
};

const scenario_compilato& carried() {
  static const scenario_compilato s;
  return s;
}

// The compiler's stops reach whoever started the program: the error stop as
// its box, a compilation with no track as a line; neither writes a file.
TEST(Form1, LeFermateDelCompilatoreSiVedono) {
  struct caso {
    const char* nome;
    std::string linea, corsa;
    std::vector<std::string> messaggi;
    const char* segnalato;  // in the one line said, or nullptr for none
  };
  const caso casi[] = {
      {"conflitto nelle intestazioni",
       sorgente_linea(0),
       sorgente_corsa({"segnale,   0,   2, 2, 3,  0, 0,    0,  0,0,0, 0"}),
       {" Errore n. 1250"},
       nullptr},
      {"nessun tracciato", "", sorgente_corsa(), {}, "(Errore n. 102)"},
  };
  for (const caso& c : casi) {
    form_in_prova p;
    scrivi_testo(p.cartella / "Ombrasca1_linea.txt", c.linea);
    scrivi_testo(p.cartella / "Ombrasca1_5817-.txt", c.corsa);
    const int stato = p.form.esegui([&p] {
      int32_t j = 1;
      p.form.memorizza_percorso(j);
      p.form.termina_compilazione();
    });
    EXPECT_EQ(stato, stato_uscita::fermato) << c.nome;
    EXPECT_EQ(p.piattaforma.messaggi, c.messaggi) << c.nome;
    ASSERT_EQ(p.piattaforma.segnalazioni.size(), c.segnalato ? 1u : 0u) << c.nome;
    if (c.segnalato) {
      EXPECT_NE(p.piattaforma.segnalazioni[0].find(c.segnalato), std::string::npos) << c.nome;
    }
    for (const std::string& f : file_compilati) EXPECT_FALSE(fs::exists(p.cartella / f)) << c.nome;
  }
}

TEST(ScenarioPortato, CompilaSenzaErrori) {
  const scenario_compilato& s = carried();
  EXPECT_EQ(s.stato, stato_uscita::successo);
  EXPECT_EQ(s.form.compilazione.problema.codice, 0)
      << "posizione " << s.form.compilazione.problema.posizione << ", "
      << s.form.compilazione.problema.file << " riga " << s.form.compilazione.problema.riga;
  EXPECT_EQ(s.piattaforma.attese, 1);
  EXPECT_EQ(s.piattaforma.chiusure, 1);
  EXPECT_TRUE(s.piattaforma.messaggi.empty());
  EXPECT_TRUE(s.piattaforma.segnalazioni.empty());
  // The carried sources are what an author copies: they must be clean.
  for (const avviso& a : s.form.compilazione.avvisi.tenuti())
    ADD_FAILURE() << a.file << ':' << a.riga << ':' << a.colonna << ": " << a.testo;
  EXPECT_EQ(s.form.compilazione.avvisi.totale(), 0);
  for (const std::string& f : file_compilati) EXPECT_TRUE(fs::exists(s.cartella / f)) << f;
  EXPECT_FALSE(fs::exists(s.cartella / "Ombrasca1_linea.txt"));
  EXPECT_FALSE(fs::exists(s.cartella / "Ombrasca1_5817-.txt"));
  EXPECT_EQ(fs::file_size(s.cartella / "Ombrasca1_linea.dat"), 20u * 124000 + 139964);
  EXPECT_EQ(fs::file_size(s.cartella / "Ombrasca1_5817.dat"), 15u * 2621);
}

// Every object of the carried sources stands in its own cell of the track.
TEST(ScenarioPortato, OgniOggettoNellaSuaCella) {
  const compilatore& f = carried().form.compilazione;
  const auto cella_di = [&](std::string_view posizione, int offset) -> const cella& {
    return f.celle.at(static_cast<size_t>(indice_cella(*intero(posizione), offset)));
  };
  const auto linea = righe_sorgente_linea();
  const auto corsa = righe_sorgente_corsa();

  int16_t voce = 80;
  for (std::string_view r : sezione(linea, "[indicazioni]")) {
    const auto c = campi(r);
    EXPECT_EQ(cella_di(c[1], 1).tipo, tipo_cella::cartello) << r;
    EXPECT_EQ(cella_di(c[1], 1).dato1, voce) << r;
    std::string_view testo = c[2];
    while (testo.starts_with(' ')) testo.remove_prefix(1);
    EXPECT_EQ(f.tabella_corsa[voce].nome, testo) << r;
    --voce;
  }
  for (std::string_view r : sezione(linea, "[cartelli]"))
    EXPECT_EQ(cella_di(campi(r)[1], 1).tipo, tipo_cella::indicatore_v_max) << r;
  for (std::string_view r : sezione(linea, "[montagne]"))
    EXPECT_NE(cella_di(campi(r)[1], 0).montagna, 0) << r;
  for (std::string_view r : sezione(corsa, "[segnali]"))
    EXPECT_EQ(cella_di(campi(r)[1], 1).tipo, tipo_cella::segnale) << r;
  for (std::string_view r : sezione(corsa, "[codici]")) {
    const auto c = campi(r);
    const bool con_codice = intero(c[2]).value_or(0) > 0;
    EXPECT_EQ(cella_di(c[1], 0).tipo,
              con_codice ? tipo_cella::punto_codice : tipo_cella::punto_senza_codice)
        << r;
  }
  int k = 1;
  for (std::string_view r : sezione(corsa, "[stazioni]")) {
    const voce_corsa& s = f.tabella_corsa[k];
    EXPECT_EQ(s.progressiva, *intero(campi(r)[1])) << r;
    if (s.tipo < 25) {
      EXPECT_EQ(f.celle.at(s.fine / 50 - 1).tipo, tipo_cella::fermata) << r;
      EXPECT_EQ(f.celle.at(s.fine / 50 - 1).dato1, k) << r;
    }
    ++k;
  }
  EXPECT_EQ(f.tabella_corsa[k].nome, "") << "one entry per station, no more";
}

// The gradient, speed and adhesion of every cell follow the rows in force.
TEST(ScenarioPortato, ProfiliDiPendenzaVelocitaEAderenza) {
  const compilatore& f = carried().form.compilazione;
  struct profilo {
    const char* sezione;
    bool della_linea;
    uint8_t cella::*campo;
    int (*valore)(long);
    int32_t ultima;  // last cell filled
  };
  const profilo profili[] = {
      {"[pendenze]", true, &cella::pendenza,
       [](long g) { return static_cast<int>(basso8(g + 100)); }, 2617},
      {"[vel_limite]", false, &cella::velocita,
       [](long v) { return static_cast<int>(arrotonda(v / 5.0)); }, 2617},
      {"[aderenze]", false, &cella::aderenza, [](long a) { return static_cast<int>(basso8(a)); },
       2617},
  };
  for (const profilo& p : profili) {
    const auto righe =
        sezione(p.della_linea ? righe_sorgente_linea() : righe_sorgente_corsa(), p.sezione);
    size_t r = 0;
    int in_vigore = 0;
    for (int32_t i = 0; i <= f.ultima_cella; ++i) {
      while (r < righe.size() && indice_cella(*intero(campi(righe[r])[1]), 0) <= i)
        in_vigore = p.valore(*intero(campi(righe[r++])[2]));
      const int atteso = i <= p.ultima ? in_vigore : 0;
      ASSERT_EQ(f.celle[i].*p.campo, atteso) << p.sezione << " cell " << i;
    }
  }
}

TEST(ScenarioPortato, IntestazioniEValoriGenerali) {
  const compilatore& f = carried().form.compilazione;
  EXPECT_EQ(f.celle[1].dato1, 5121);
  EXPECT_EQ(f.celle[1].dato2, 2296);
  EXPECT_EQ(f.tabella_corsa[voce_tabella::scenario].intero1, 610);
  EXPECT_EQ(f.tabella_corsa[voce_tabella::scenario].orario, 31605);
  EXPECT_EQ(f.tabella_corsa[voce_tabella::lunghezza].fine, 124000);
  EXPECT_EQ(f.tabella_corsa[voce_tabella::lunghezza].inizio, 120);
  EXPECT_EQ(f.tabella_corsa[voce_tabella::lunghezza].progressiva, 5);
  EXPECT_EQ(f.tabella_corsa[voce_tabella::treno].inizio, 46400);
  EXPECT_EQ(f.tabella_corsa[voce_tabella::treno].fine, 112500);
  EXPECT_EQ(f.tabella_corsa[voce_tabella::treno].progressiva, 9);
  // The three progressive segments, largest start first, code 1 adding 100.
  EXPECT_EQ(f.tabella_corsa[voce_tabella::primo_segmento].fine, 118850);
  EXPECT_EQ(f.tabella_corsa[voce_tabella::secondo_segmento].fine, 135250);
  EXPECT_EQ(f.tabella_corsa[voce_tabella::terzo_segmento].fine, 39150);
}

// The program itself, started as a user starts it, in an empty folder of its own.
TEST(GeneraScenario, ComeProcessoInUnaCartellaVuota) {
  cartella_temporanea c;
  // Under the program's own name, ".exe" included where the system wants it.
  const std::string programma = fs::path(GENERA_SCENARIO_EXE).filename().string();
  const fs::path eseguibile = c / programma;
  fs::copy_file(GENERA_SCENARIO_EXE, eseguibile);
  for (int volta = 0; volta < 2; ++volta) {
    const esito_processo e = esegui_processo(eseguibile);
    ASSERT_TRUE(e.uscito) << "segnale " << e.segnale;
    EXPECT_EQ(e.stato, 0) << e.errori;
    EXPECT_EQ(c.elenco(), (std::vector<std::string>{
                              "Ombrasca1_5817.dat", "Ombrasca1_5817.sim", "Ombrasca1_5817_note.txt",
                              "Ombrasca1_5817_rallentamenti.txt", "Ombrasca1_5817_scheda_treno.txt",
                              "Ombrasca1_linea.dat", programma}));
  }
  // The same run twice gives the same bytes.
  const scenario_compilato& s = carried();
  for (const std::string& f : file_compilati)
    EXPECT_EQ(leggi_testo(c / f), leggi_testo(s.cartella / f)) << f;
}

// The whole output of the main job, frozen: the two sources as the writers
// leave them, the three documents and the three compiled files. Any changed
// byte fails here. To refresh on purpose (only when a compiled byte or a
// text is meant to change), run
//   ./build/prove_scenario --gtest_filter=UscitaCongelata.*
// and paste the table it prints in place of `congelata`.
TEST(UscitaCongelata, OgniByteDelLavoroPrincipale) {
  struct impronta {
    std::string file;
    uintmax_t byte;
    uint64_t fnv;  // FNV-1a, 64 bit
  };
  const impronta congelata[] = {
      {"Ombrasca1_linea.txt", 6539, 0xc5d69a9d08fa3f5u},
      {"Ombrasca1_5817-.txt", 5944, 0xb4594313133a75f9u},
      {"Ombrasca1_5817_note.txt", 6255, 0xe0c426f0ab709ec8u},
      {"Ombrasca1_5817_rallentamenti.txt", 3290, 0x760c876a5815146au},
      {"Ombrasca1_5817_scheda_treno.txt", 4312, 0xfd7b2f3a4e6cfb83u},
      {"Ombrasca1_linea.dat", 2619964, 0x73ed0c9e3967ae11u},
      {"Ombrasca1_5817.sim", 3662, 0xdf7144599c8b955u},
      {"Ombrasca1_5817.dat", 39315, 0x2421a225d59d4277u},
  };
  const auto fnv1a = [](std::string_view b) {
    uint64_t h = 14695981039346656037u;
    for (const char c : b) h = (h ^ static_cast<uint8_t>(c)) * 1099511628211u;
    return h;
  };

  form_in_prova p;
  Form1& f = p.form;
  std::vector<impronta> trovata;
  const auto prendi = [&](const fs::path& file) {
    const std::string b = leggi_testo(file);
    trovata.push_back({file.filename().string(), b.size(), fnv1a(b)});
  };
  // The sources are gone once compiled: each is taken as soon as it is written.
  f.dati_linea();
  prendi(f.file_sorgente_linea());
  f.dati_treno();
  prendi(f.file_sorgente_corsa());
  EXPECT_EQ(f.esegui([&f] { f.Form_Load(); }), stato_uscita::successo);
  for (const std::string nome : {"Ombrasca1_5817_note.txt", "Ombrasca1_5817_rallentamenti.txt",
                                 "Ombrasca1_5817_scheda_treno.txt", "Ombrasca1_linea.dat",
                                 "Ombrasca1_5817.sim", "Ombrasca1_5817.dat"})
    prendi(p.cartella / nome);

  std::ostringstream tabella;
  for (const impronta& i : trovata)
    tabella << "      {\"" << i.file << "\", " << i.byte << ", 0x" << std::hex << i.fnv << std::dec
            << "u},\n";
  ASSERT_EQ(trovata.size(), std::size(congelata)) << tabella.str();
  for (size_t k = 0; k < trovata.size(); ++k) {
    EXPECT_EQ(trovata[k].file, congelata[k].file) << tabella.str();
    EXPECT_EQ(trovata[k].byte, congelata[k].byte) << trovata[k].file << "\n" << tabella.str();
    EXPECT_EQ(trovata[k].fnv, congelata[k].fnv) << trovata[k].file << "\n" << tabella.str();
  }
}

}  // namespace
