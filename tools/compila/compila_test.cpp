#include "tools/compila/compila.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <span>
#include <sstream>

#include "sistema/fine_programma.h"
#include "sources/scenario_portato.h"
#include "testing/processo_prova.h"
#include "testing/prova_piattaforma.h"

namespace {

namespace fs = std::filesystem;

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

// An error says what it means on its first line, in the form scripts read,
// then points at the item at fault as editors and build tools read it.
TEST(CompilaScenario, UnErroreDiceCosaEDove) {
  struct caso {
    const char* nome;
    std::string linea, corsa;
    int stato;
    std::string errori;
  };
  const std::string stazione_1010 =
      "stazione,    1010, 24,  400,  0, 0, 0,  0,0,0,  0,0,0,  0, 6, 0, 0, X";
  const caso casi[] = {
      {"stazione fuori passo", linea_prova,
       righe_crlf({"[generale]", "numero vetture,    4", stazione_1010, "[fine]"}),
       stato_uscita::errori_compilazione,
       "Errore n. 8 (posizione 1010 m): la posizione della stazione non è un multiplo di 50 m\n"
       "Prova_5817-.txt:3:14: errore n. 8: la posizione della stazione non è un multiplo di "
       "50 m\n"
       "compila_scenario: i file compilati non sono stati sostituiti: correggere l'errore e "
       "ricompilare\n"},
      {"lunghezza di stazione fuori passo", linea_prova,
       sorgente_corsa({"stazione,  1000,  24,  450,  0, 0, 0,  0,0,0,  0,0,0,  0, 6, 0, 0, X"}),
       stato_uscita::errori_compilazione,
       "Errore n. 9 (posizione 1000 m): la lunghezza della stazione non è un multiplo di 100 m\n"
       "Prova_5817-.txt:2:24: errore n. 9: la lunghezza della stazione non è un multiplo di "
       "100 m\n"
       "compila_scenario: i file compilati non sono stati sostituiti: correggere l'errore e "
       "ricompilare\n"},
      {"posizione fuori dal percorso",
       sorgente_linea(2000, {"pendenza,  500,   3", "pendenza,  99999,   3"}), corsa_prova,
       stato_uscita::errori_compilazione,
       "Errore n. 15 (posizione 99999 m): la posizione cade fuori dal percorso\n"
       "Prova_linea.txt:5:12: errore n. 15: la posizione cade fuori dal percorso\n"
       "compila_scenario: i file compilati non sono stati sostituiti: correggere l'errore e "
       "ricompilare\n"},
      {"lettura fallita: la ragione del lettore",
       sorgente_linea(2000, {"pendenza,  500,   3000000000"}), corsa_prova,
       stato_uscita::errori_compilazione,
       "Errore n. 25 (posizione 0 m): il numero 3000000000 non sta nel suo campo, che va da "
       "-2147483648 a 2147483647\n"
       "Prova_linea.txt:4:19: errore n. 25: il numero 3000000000 non sta nel suo campo, che va "
       "da -2147483648 a 2147483647\n"
       "compila_scenario: i file compilati non sono stati sostituiti: correggere l'errore e "
       "ricompilare\n"},
      {"lunghezza troppo corta", sorgente_linea(-6926), corsa_prova, stato_uscita::fermato,
       "compila_scenario: nessun tracciato da compilare: la lunghezza del percorso, -6926 m, è "
       "troppo corta: il tracciato deve arrivare alla cella 1, e la lunghezza minima è -6925 m "
       "(Errore n. 25)\n"
       "Prova_linea.txt:2:24: errore n. 25: la lunghezza del percorso, -6926 m, è troppo corta: "
       "il tracciato deve arrivare alla cella 1, e la lunghezza minima è -6925 m\n"
       "compila_scenario: i file compilati non sono stati sostituiti: correggere l'errore e "
       "ricompilare\n"},
      // Every error in one pass, in the order the compiler meets them; the
      // first keeps its two lines and the status.
      {"tre errori in due file",
       sorgente_linea(2000, {"pendenza,  500,   3", "pendenza,  99999,   3"}),
       sorgente_corsa({stazione_1010,
                       "stazione,    2020, 24,  400,  0, 0, 0,  0,0,0,  0,0,0,  0, 6, 0, 0, Y"}),
       stato_uscita::errori_compilazione,
       "Errore n. 8 (posizione 1010 m): la posizione della stazione non è un multiplo di 50 m\n"
       "Prova_5817-.txt:2:14: errore n. 8: la posizione della stazione non è un multiplo di "
       "50 m\n"
       "Prova_5817-.txt:3:14: errore n. 8: la posizione della stazione non è un multiplo di "
       "50 m\n"
       "Prova_linea.txt:5:12: errore n. 15: la posizione cade fuori dal percorso\n"
       "compila_scenario: 3 errori nei sorgenti, ciascuno alla sua riga qui sopra\n"
       "compila_scenario: i file compilati non sono stati sostituiti: correggere l'errore e "
       "ricompilare\n"},
      // Problems from no row: the first line alone.
      {"sorgente della linea mancante", "", corsa_prova, stato_uscita::fermato,
       "compila_scenario: nessun tracciato da compilare: manca il file sorgente della linea "
       "(Errore n. 101)\n"
       "compila_scenario: i file compilati non sono stati sostituiti: correggere l'errore e "
       "ricompilare\n"},
      {"segnale nella cella 1", linea_prova,
       sorgente_corsa({"segnale,   0,   2, 2, 3,  0, 0,    0,  0,0,0, 0"}), stato_uscita::fermato,
       "compila_scenario: Errore n. 1250: un oggetto nella cella 1, all'inizio della linea, occupa "
       "il posto del codice di formato\n"
       "compila_scenario: i file compilati non sono stati sostituiti: correggere l'errore e "
       "ricompilare\n"},
  };
  for (const caso& k : casi) {
    cartella_autore a(k.linea, k.corsa);
    const esito e = compila(a.argomenti());
    EXPECT_EQ(e.stato, k.stato) << k.nome;
    EXPECT_EQ(e.errori, k.errori) << k.nome;
  }
}

// An author's mistake never costs the author's good set: whatever went wrong,
// the compiled files stay byte for byte, no file appears and nothing is left
// behind, and the last line says so and what to do. --scrivi-con-errori
// writes what was read, for the scripts that relied on it.
TEST(CompilaScenario, UnErroreLasciaIlLavoroDellAutoreComEra) {
  struct caso {
    const char* nome;
    std::function<void(const fs::path&)> sbaglia;
    std::vector<std::string> opzioni;
    std::string treno;
    int stato;
    std::string ultima_riga;
    bool anche_scrivendo = false;  // tried again with --scrivi-con-errori
  };
  const std::string ricompilare = "correggere l'errore e ricompilare";
  const caso casi[] = {
      {"sorgente della corsa senza trattino",
       [](const fs::path& c) { fs::rename(c / "Prova_5817-.txt", c / "Prova_5817.txt"); },
       {},
       "5817",
       stato_uscita::errori_compilazione,
       ricompilare},
      {"manca la sorgente della linea",
       [](const fs::path& c) { fs::remove(c / "Prova_linea.txt"); },
       {},
       "5817",
       stato_uscita::fermato,
       ricompilare},
      {"treno sbagliato",
       [](const fs::path&) {},
       {},
       "5818",
       stato_uscita::errori_compilazione,
       ricompilare},
      {"un errore nella corsa",
       [](const fs::path& c) {
         scrivi_testo(
             c / "Prova_5817-.txt",
             sorgente_corsa({"stazione,  1010,  24,  400,  0, 0, 0,  0,0,0,  0,0,0,  0, 6, "
                             "0, 0, X"}));
       },
       {},
       "5817",
       stato_uscita::errori_compilazione,
       ricompilare,
       true},
      {"un avviso con --rigoroso",
       [](const fs::path& c) {
         scrivi_testo(c / "Prova_linea.txt", sorgente_linea(2000, {"pendenze,  500,   3"}));
       },
       {"--rigoroso"},
       "5817",
       stato_uscita::errori_compilazione,
       "correggere le righe indicate e ricompilare"},
  };
  for (const caso& k : casi) {
    cartella_autore a;
    ASSERT_EQ(compila(a.argomenti()).stato, stato_uscita::successo);
    std::map<std::string, std::string> prima;
    for (const std::string& f : a.c.elenco())
      if (!f.ends_with(".txt")) prima[f] = leggi_testo(a.c / f);
    k.sbaglia(a.c.percorso());
    const std::vector<std::string> elenco = a.c.elenco();
    std::vector<std::string> argomenti = k.opzioni;
    argomenti.insert(argomenti.end(), {a.c.percorso().string(), "Prova", k.treno});
    const esito_processo e = esegui_processo(COMPILA_SCENARIO_EXE, argomenti);
    ASSERT_TRUE(e.uscito) << k.nome;
    EXPECT_EQ(e.stato, k.stato) << k.nome << "\n" << e.errori;
    EXPECT_TRUE(e.errori.ends_with(
        "compila_scenario: i file compilati non sono stati sostituiti: " + k.ultima_riga + "\n"))
        << k.nome << "\n"
        << e.errori;
    EXPECT_EQ(a.c.elenco(), elenco) << k.nome;
    for (const auto& [f, b] : prima) EXPECT_TRUE(leggi_testo(a.c / f) == b) << k.nome << ": " << f;

    if (!k.anche_scrivendo) continue;
    argomenti.insert(argomenti.begin(), "--scrivi-con-errori");
    const esito_processo w = esegui_processo(COMPILA_SCENARIO_EXE, argomenti);
    EXPECT_EQ(w.stato, stato_uscita::errori_compilazione) << w.errori;
    EXPECT_EQ(w.errori.find("non sono stati sostituiti"), std::string::npos) << w.errori;
    EXPECT_EQ(a.c.elenco(), elenco);
    EXPECT_NE(leggi_testo(a.c / "Prova_5817.sim"), prima.at("Prova_5817.sim"));
  }
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
    if (collegamenti && !collegamenti_simbolici) continue;  // plain files only
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
      {cartella, "Prova",
       std::string("58\0"
                   "17",
                   5)},
      {cartella, "", "5817"},
  };
  for (const auto& argomenti : casi) {
    const esito e = compila(argomenti);
    EXPECT_EQ(e.stato, stato_uscita::uso) << ::testing::PrintToString(argomenti);
    EXPECT_TRUE(e.errori.starts_with("compila_scenario: ")) << e.errori;
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

// Each warning on a source that triggers it and on a neighbour that does
// not; with --rigoroso the run fails and the files compiled before stay.
TEST(CompilaScenario, AvvisiPerCioCheVienePresoInSilenzio) {
  struct caso {
    const char* nome;
    std::string linea, corsa;  // the one triggering
    std::string linea_vicina, corsa_vicina;
    std::string avviso;  // the line printed
  };
  const auto L = [](std::initializer_list<std::string_view> r) { return sorgente_linea(2000, r); };
  const auto C = [](std::initializer_list<std::string_view> r) { return sorgente_corsa(r); };
  const std::string l0 = L({});
  const std::string c0 = C({});
  const caso casi[] = {
      {"parola chiave sbagliata", L({"pendenze,  500,   3"}), c0, L({"pendenza,  500,   3"}), c0,
       "Prova_linea.txt:4:1: avviso: riga ignorata: 'pendenze' non contiene nessuna parola chiave "
       "di questo file: correggere la parola o togliere la riga"},
      {"stazione scritta male", l0,
       C({"stazoine,  1000,  24,  400,  0, 0, 0,  0,0,0,  0,0,0,  0, 6, 0, 0, X"}), l0,
       C({"stazione,  1000,  24,  400,  0, 0, 0,  0,0,0,  0,0,0,  0, 6, 0, 0, X"}),
       "Prova_5817-.txt:2:1: avviso: riga ignorata: 'stazoine' non contiene nessuna parola chiave "
       "di questo file: correggere la parola o togliere la riga"},
      {"valore in più", L({"pendenza,  500,   3,  7"}), c0, L({"pendenza,  500,   3"}), c0,
       "Prova_linea.txt:4:23: avviso: '7' è in più in fondo alla riga, dopo i valori che la "
       "riga legge, ed è ignorato: toglierlo, o controllare i valori prima"},
      {"numero scritto male", l0, C({"velocita,  50O,  60"}), l0, C({"velocita,  500,  60"}),
       "Prova_5817-.txt:2:12: avviso: '50O' non è un numero e vale 0: correggere il valore"},
      {"codice scritto male", l0, C({"abbattimento,  500,  27O"}), l0,
       C({"abbattimento,  500,  AC"}),
       "Prova_5817-.txt:2:22: avviso: '27O' non è un numero e vale 0: correggere il valore"},
      {"numero vuoto", L({"montagna,  100,  ,  1"}), c0,
       L({"indicatori_vmax,  200,  65,  70,  80,  0,  ,  ,  ,  0"}), c0,
       "Prova_linea.txt:4:18: avviso: manca un valore: vale 0; scrivere 0 se è voluto"},
      {"trattino nella parola chiave", L({"nota - rivedere"}), c0, L({"- nota: rivedere"}), c0,
       "Prova_linea.txt:4:1: avviso: 'nota - rivedere' contiene un trattino, e la riga è "
       "saltata come un commento; un commento comincia con '-'"},
      {"lato della curva", L({"curvadestra4,  500,  300"}), c0, L({"curvasinistra4,  500,  300"}),
       c0,
       "Prova_linea.txt:4:1: avviso: 'curvadestra4' è letta come curva a sinistra di classe 4: "
       "il lato si scrive 's' o 'd' e la classe con una cifra sola da 1 a 6, come in 'curvad4'"},
      {"pendenza oltre il byte", L({"pendenza,  500,   156"}), c0, L({"pendenza,  500,   155"}), c0,
       "Prova_linea.txt:4:19: avviso: la pendenza 156 per mille è fuori da -100 ... 155 e nel "
       "file compilato diventa -100"},
      {"aderenza oltre il byte", l0, C({"aderenza,  0,  256"}), l0, C({"aderenza,  0,  255"}),
       "Prova_5817-.txt:2:16: avviso: l'aderenza 256 è fuori da 0 ... 255 e nel file compilato "
       "diventa 0"},
      {"pendenze fuori ordine", L({"pendenza,  1000,   3", "pendenza,  500,   5"}), c0,
       L({"pendenza,  500,   5", "pendenza,  1000,   3"}), c0,
       "Prova_linea.txt:5:12: avviso: la riga di pendenza a 500 m viene dopo quella a 1000 m: le "
       "righe di pendenza vanno in ordine di posizione crescente"},
      {"velocità nella stessa cella", l0, C({"velocita,  500,  60", "velocita,  510,  80"}), l0,
       C({"velocita,  500,  60", "velocita,  550,  80"}),
       "Prova_5817-.txt:3:12: avviso: la riga di velocità a 510 m cade nella stessa cella di "
       "50 m della precedente, a 500 m: una cella ha un valore solo, e una delle due righe non "
       "vale dove è scritta; tenere una riga per cella"},
      {"curva dentro la precedente", L({"curvad4,  500,  300", "curvas4,  750,  100"}), c0,
       L({"curvad4,  500,  300", "curvas4,  800,  100"}), c0,
       "Prova_linea.txt:5:11: avviso: la curva comincia a 750 m, dentro il tracciato già "
       "disegnato fino a 800 m dalle curve precedenti: ne resta solo la parte dopo 800 m"},
      {"curva oltre la fine", L({"curvad4,  8000,  1001"}), c0, L({"curvad4,  8000,  1000"}), c0,
       "Prova_linea.txt:4:11: avviso: la curva finisce a 9001 m, oltre l'ultimo punto del "
       "tracciato (9000 m): la parte oltre si perde"},
      {"senza [generale]", l0, "[general]\r\nvelocita,  0,  60\r\n[fine]\r\n", l0,
       "[Generale]\r\nvelocita,  0,  60\r\n[fine]\r\n",
       "Prova_5817-.txt:1:1: avviso: manca la riga [generale]: nessuna riga del file è letta; "
       "scriverla in testa al file, prima delle righe del treno"},
      {"orologio impossibile", l0, C({"orologio,  25,  73,  0"}), l0, C({"orologio,  23,  59,  0"}),
       "Prova_5817-.txt:2:12: avviso: l'orario 25:73:00 non esiste: le ore vanno da 0 a 23, i "
       "minuti e i secondi da 0 a 59; correggere l'orario"},
      {"orario all'indietro", l0,
       C({"stazione,  1000,  24,  400,  0, 0, 0,  0,0,0,  0,0,0,  0, 6, 23, 0, A",
          "stazione,  4000,  24,  400,  0, 0, 0,  0,0,0,  0,0,0,  0, 6, 20, 0, B"}),
       l0,
       C({"stazione,  1000,  24,  400,  0, 0, 0,  0,0,0,  0,0,0,  0, 6, 23, 0, A",
          "stazione,  4000,  24,  400,  0, 0, 0,  0,0,0,  0,0,0,  0, 6, 28, 0, B"}),
       "Prova_5817-.txt:3:59: avviso: l'orario 06:20:00 viene prima di quello della stazione "
       "precedente, 06:23:00: gli orari vanno in ordine lungo la corsa; controllare le due "
       "stazioni"},
      {"vetture sotto zero", l0, C({"numero vetture,  -3"}), l0, C({"numero vetture,  3"}),
       "Prova_5817-.txt:2:18: avviso: il numero di vetture è -3, sotto zero: scrivere un numero "
       "da 0 in su"},
      {"testo spezzato da una virgola", L({"cartello_indicatore,  1000,  Bivio, Nord"}), c0,
       L({"cartello_indicatore,  1000,  \"Bivio, Nord\""}), c0,
       "Prova_linea.txt:4:37: avviso: 'Nord' è in più in fondo alla riga: se è il seguito del "
       "testo 'Bivio', la virgola lo ha spezzato; scrivere il testo intero tra virgolette, come "
       "\"A, B\""},
      {"testo in UTF-8", L({"cartello_indicatore,  1000,  (Caff\xC3\xA8)"}), c0,
       L({"cartello_indicatore,  1000,  (Caff\xE8)"}), c0,
       "Prova_linea.txt:4:35: avviso: il file sembra salvato in UTF-8, e le sue lettere "
       "accentate diventano altre lettere: salvarlo in Windows-1252"},
      {"byte NUL", L({std::string_view("- nota\0", 7)}), c0, L({"- nota"}), c0,
       "Prova_linea.txt:4:7: avviso: il file contiene byte NUL, che un sorgente di testo non ha: "
       "forse è danneggiato; togliere i byte NUL con un editor"},
  };
  for (const caso& k : casi) {
    cartella_autore a(k.linea, k.corsa);
    const esito e = compila(a.argomenti());
    EXPECT_EQ(e.stato, stato_uscita::successo) << k.nome;
    EXPECT_EQ(e.errori, k.avviso + "\n") << k.nome;
    const std::string compilati[] = {leggi_testo(a.c / "Prova_linea.dat"),
                                     leggi_testo(a.c / "Prova_5817.sim"),
                                     leggi_testo(a.c / "Prova_5817.dat")};

    std::vector<std::string> rigoroso = a.argomenti();
    rigoroso.insert(rigoroso.begin(), "--rigoroso");
    const esito r = compila(rigoroso);
    EXPECT_EQ(r.stato, stato_uscita::errori_compilazione) << k.nome;
    EXPECT_EQ(r.errori, k.avviso +
                            "\ncompila_scenario: 1 avviso e --rigoroso: la compilazione non è "
                            "riuscita; correggere le righe indicate\n"
                            "compila_scenario: i file compilati non sono stati sostituiti: "
                            "correggere le righe indicate e ricompilare\n")
        << k.nome;
    EXPECT_EQ(leggi_testo(a.c / "Prova_linea.dat"), compilati[0]) << k.nome;
    EXPECT_EQ(leggi_testo(a.c / "Prova_5817.sim"), compilati[1]) << k.nome;
    EXPECT_EQ(leggi_testo(a.c / "Prova_5817.dat"), compilati[2]) << k.nome;

    cartella_autore b(k.linea_vicina, k.corsa_vicina);
    const esito v = compila(b.argomenti());
    EXPECT_EQ(v.stato, stato_uscita::successo) << k.nome;
    EXPECT_EQ(v.errori, "") << k.nome << ": the neighbour warns";
  }
}

// The scenario the program carries, as genera_scenario writes its sources:
// not one warning, even under --rigoroso.
TEST(CompilaScenario, LoScenarioPortatoSenzaAvvisi) {
  cartella_temporanea c;
  const auto scrivi = [&](const char* nome, std::span<const std::string_view> righe) {
    std::string t;
    for (std::string_view r : righe) t.append(r).append("\r\n");
    scrivi_testo(c / nome, t);
  };
  scrivi("Ombrasca1_linea.txt", righe_sorgente_linea());
  scrivi("Ombrasca1_5817-.txt", righe_sorgente_corsa());
  const esito e = compila({"--rigoroso", c.percorso().string(), "Ombrasca1", "5817"});
  EXPECT_EQ(e.stato, stato_uscita::successo);
  EXPECT_EQ(e.errori, "");
}

// Rows edited by hand as a new author edits them: every message at the line
// at fault, the exit status with and without --rigoroso.
TEST(CompilaScenario, RigheCorretteAMano) {
  struct caso {
    const char* nome;
    std::string linea, corsa;
    std::string errori;  // the whole standard error, without --rigoroso
    int stato, stato_rigoroso;
  };
  const auto L = [](std::initializer_list<std::string_view> r) { return sorgente_linea(2000, r); };
  const auto C = [](std::initializer_list<std::string_view> r) { return sorgente_corsa(r); };
  const std::string l0 = L({}), c0 = C({});
  const std::string non_sostituiti =
      "compila_scenario: i file compilati non sono stati sostituiti: correggere l'errore e "
      "ricompilare\n";
  const caso casi[] = {
      {"stazione senza nome", l0,
       C({"stazione,  1000,  24,  400,  0, 0, 0,  0,0,0,  0,0,0,  0, 6, 0, 0",
          "stazione,  4000,  24,  400,  0, 0, 0,  0,0,0,  0,0,0,  0, 6, 5, 0, B"}),
       "Prova_5817-.txt:2:1: avviso: la riga 'stazione' finisce dopo 16 dei suoi 17 valori: il "
       "resto è preso dalla riga 3 ('stazione,  4000,  24,  400,  0, 0, 0,  0...'): aggiungere il "
       "valore mancante, o scrivere la riga intera su una riga sola\n"
       "Prova_5817-.txt:3:12: avviso: '4000' è in più: la riga 2 ha preso l'inizio di questa riga "
       "come suoi valori; correggere la riga 2\n",
       0, 1},
      {"velocità senza valore", l0, C({"velocita,  500", "velocita,  1000,  80"}),
       "Prova_5817-.txt:2:1: avviso: la riga 'velocita' finisce dopo 1 dei suoi 2 valori: il "
       "resto è preso dalla riga 3 ('velocita,  1000,  80'): aggiungere il valore mancante, o "
       "scrivere la riga intera su una riga sola\n"
       "Prova_5817-.txt:3:1: avviso: 'velocita' non è un numero e vale 0: correggere il valore\n"
       "Prova_5817-.txt:3:12: avviso: '1000' è in più: la riga 2 ha preso l'inizio di questa riga "
       "come suoi valori; correggere la riga 2\n",
       0, 1},
      {"punti e virgola", l0, C({"velocita;  500;  60", "velocita,  1500,  80"}),
       "Errore n. 25 (posizione 0 m): la velocità 1500 km/h è fuori dai limiti: va da 0 a 1277 "
       "km/h\n"
       "Prova_5817-.txt:2:1: errore n. 25: la velocità 1500 km/h è fuori dai limiti: va da 0 a "
       "1277 km/h\n"
       "Prova_5817-.txt:2:1: avviso: la riga 'velocita;  500;  60' finisce dopo 0 dei suoi 2 "
       "valori: il resto è preso dalla riga 3 ('velocita,  1500,  80'): le voci sono separate da "
       "';', che non è un separatore: separarle con virgole\n"
       "Prova_5817-.txt:3:1: avviso: 'velocita' non è un numero e vale 0: correggere il valore\n"
       "Prova_5817-.txt:3:19: avviso: '80' è in più: la riga 2 ha preso l'inizio di questa riga "
       "come suoi valori; correggere la riga 2\n" +
           non_sostituiti,
       1, 1},
      {"rallentamento con un valore in meno", l0,
       C({"rallentamento,  1000,  30,  500,  0,  0", "[segnali]"}),
       "Prova_5817-.txt:2:1: avviso: la riga 'rallentamento' finisce dopo 5 dei suoi 6 valori: il "
       "resto è preso dalla riga 3 ('[segnali]'): aggiungere il valore mancante, o scrivere la "
       "riga intera su una riga sola\n"
       "Prova_5817-.txt:3:1: avviso: '[segnali]' non è un numero e vale 0: correggere il valore\n",
       0, 1},
      {"tabulazione in un numero", l0, C({"velocita,  5\t00,  60"}),
       "Prova_5817-.txt:2:19: avviso: '60' è in più in fondo alla riga: una tabulazione tra due "
       "cifre, alla colonna 13, separa due numeri; se il numero è uno, toglierla; se sono due, "
       "separarli con una virgola\n",
       0, 1},
      {"riga generale fuori sezione", L({"sfondo uno,  1"}), c0,
       "Prova_linea.txt:4:1: avviso: riga ignorata: 'sfondo uno' è una riga della sezione "
       "[generale], che finisce alla prima riga tra parentesi quadre: spostarla in testa al file, "
       "nella sezione [generale]\n",
       0, 1},
      {"lunghezza negativa", sorgente_linea(-5000), C({"velocita,  500,  60"}),
       "Prova_linea.txt:2:24: avviso: la lunghezza del percorso è -5000 m: ogni riga con una "
       "posizione cadrà fuori dal percorso; scrivere la lunghezza in metri, da 1 in su\n",
       0, 1},
      // The row past the short track is no fault of its own: the length's.
      {"lunghezza negativa, una riga oltre", sorgente_linea(-5000), C({"velocita,  12700,  60"}),
       "Errore n. 15 (posizione 12700 m): la posizione cade fuori dal percorso\n"
       "Prova_linea.txt:2:24: errore n. 15: la posizione cade fuori dal percorso\n"
       "Prova_linea.txt:2:24: avviso: la lunghezza del percorso è -5000 m: ogni riga con una "
       "posizione cadrà fuori dal percorso; scrivere la lunghezza in metri, da 1 in su\n" +
           non_sostituiti,
       1, 1},
      {"curva di classe 7", L({"curvad7,  1500,  300"}), c0,
       "Errore n. 103 (posizione 1500 m): una curva non ha la classe da 1 a 6, o il tracciato "
       "supera 1000000 m\n"
       "Prova_linea.txt:4:1: errore n. 103: una curva non ha la classe da 1 a 6, o il tracciato "
       "supera 1000000 m\n" +
           non_sostituiti,
       1, 1},
      // The segments are sorted before they are checked: the error still
      // names the row of the one at fault.
      {"progressiva fuori passo",
       "[generale]\r\nlunghezza percorso,  2000\r\nprogressiva chilometrica uno,  0,  12000,  1\r\n"
       "progressiva chilometrica due,  655,  2000,  1\r\n[curve]\r\n[fine]\r\n",
       c0,
       "Errore n. 2 (posizione 655 m): un tratto di progressiva chilometrica ha inizio o valore "
       "non multiplo di 50 m\n"
       "Prova_linea.txt:4:1: errore n. 2: un tratto di progressiva chilometrica ha inizio o valore "
       "non multiplo di 50 m\n" +
           non_sostituiti,
       1, 1},
      {"[generale] ripetuta", "[generale]\r\n[generale]\r\nlunghezza percorso,  2000\r\n[fine]\r\n",
       c0,
       "compila_scenario: nessun tracciato da compilare: manca la lunghezza del percorso: la "
       "sezione [generale] deve avere la riga 'lunghezza percorso, METRI' prima delle altre righe "
       "(Errore n. 25)\n"
       "Prova_linea.txt:2:1: errore n. 25: manca la lunghezza del percorso: la sezione [generale] "
       "deve avere la riga 'lunghezza percorso, METRI' prima delle altre righe\n"
       "Prova_linea.txt:2:1: avviso: una seconda riga [generale] chiude la sezione [generale]: le "
       "righe generali dopo di essa non sono lette; togliere questa riga\n" +
           non_sostituiti,
       3, 3},
  };
  for (const caso& k : casi) {
    cartella_autore a(k.linea, k.corsa);
    const esito e = compila(a.argomenti());
    EXPECT_EQ(e.stato, k.stato) << k.nome;
    EXPECT_EQ(e.errori, k.errori) << k.nome;
    cartella_autore b(k.linea, k.corsa);
    std::vector<std::string> rigoroso = b.argomenti();
    rigoroso.insert(rigoroso.begin(), "--rigoroso");
    EXPECT_EQ(compila(rigoroso).stato, k.stato_rigoroso) << k.nome;
  }
}

// A file with a great many warnings shows the first ones and counts the rest.
TEST(CompilaScenario, MoltiAvvisiContati) {
  std::string righe;
  for (int i = 0; i < 25; ++i) righe += "pendenze,  500,   3\r\n";
  cartella_autore a("[generale]\r\nlunghezza percorso,  2000\r\n[curve]\r\n" + righe +
                    "[fine]\r\n");
  const esito e = compila(a.argomenti());
  EXPECT_EQ(e.stato, stato_uscita::successo);
  EXPECT_EQ(std::count(e.errori.begin(), e.errori.end(), '\n'), 21) << e.errori;
  EXPECT_TRUE(e.errori.ends_with("Prova_linea.txt: avviso: altri 5 avvisi non mostrati\n"))
      << e.errori;
}

TEST(CompilaScenario, ComeProcesso) {
  cartella_autore a(linea_prova, righe_crlf({"[generale]", "velocita,       0,  1278", "[fine]"}));
  const esito_processo e =
      esegui_processo(COMPILA_SCENARIO_EXE, {a.c.percorso().string(), "Prova", "5817"});
  ASSERT_TRUE(e.uscito) << "segnale " << e.segnale;
  EXPECT_EQ(e.stato, 1);
  EXPECT_EQ(e.errori,
            "Errore n. 25 (posizione 0 m): la velocità 1278 km/h è fuori dai limiti: va da 0 a "
            "1277 km/h\n"
            "Prova_5817-.txt:2:21: errore n. 25: la velocità 1278 km/h è fuori dai limiti: va da "
            "0 a 1277 km/h\n"
            "compila_scenario: i file compilati non sono stati sostituiti: correggere l'errore e "
            "ricompilare\n");
  EXPECT_TRUE(std::filesystem::exists(a.c / "Prova_5817-.txt"));
  EXPECT_TRUE(std::filesystem::exists(a.c / "Prova_linea.txt"));
}

}  // namespace
