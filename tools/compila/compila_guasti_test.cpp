// compila_scenario run as a real process against a failing disk, a target it
// cannot replace, and sources that are broken in every way an author's editor
// or a bad copy can break them. Each run must end with its defined status and
// message, never a crash; the author's sources are never touched, and the
// previous compiled files are either all replaced or all left byte for byte.
#include <gtest/gtest.h>

#include <optional>
#include <sstream>

#include "sistema/fine_programma.h"
#include "testing/processo_prova.h"
#include "testing/prova_piattaforma.h"

namespace fs = std::filesystem;
using namespace std::string_literals;

namespace {

const char* const nome_linea = "Prova_linea.txt";
const char* const nome_corsa = "Prova_5817-.txt";
const std::vector<std::string> compilati = {"Prova_linea.dat", "Prova_5817.sim", "Prova_5817.dat"};

// A line of 2000 m: cells 0 to 180, positions up to 8900 m pass the check.
const std::string linea_2000 = sorgente_linea(
    2000, {"pendenza,   0,    0", "curvad4,  500,  300", "cartello_indicatore,  1000,   (PROVA)"});
const std::string corsa_buona = sorgente_corsa(
    {"numero vetture,    4", "velocita,       0,    80",
     "stazione,    4000, 24,  400,  0, 0, 0,  0,0,0,  0,0,0,    0,   6, 0, 0, PRIMA"});

// Sources around raw record text: a record may hold NUL bytes or run for MBs.
std::string linea_con(const std::string& record, int32_t L = 2000) {
  return "[generale]\r\nlunghezza percorso,    " + std::to_string(L) + "\r\n[curve]\r\n" + record +
         "[fine]\r\n";
}
std::string corsa_con(const std::string& righe) { return "[generale]\r\n" + righe + "[fine]\r\n"; }

// An author's folder with two sources (std::nullopt: the file is missing) and
// an older set of compiled files.
struct cartella_autore {
  cartella_temporanea c;
  std::optional<std::string> linea, corsa;

  // `collegate`: each source is a relative symbolic link to a file in a
  // folder beside them, which the compiler copies rather than links.
  cartella_autore(std::optional<std::string> l, std::optional<std::string> r,
                  bool collegate = false)
      : linea(std::move(l)), corsa(std::move(r)) {
    const auto sorgente = [&](const char* nome, const std::string& testo) {
      if (!collegate) return scrivi_testo(c / nome, testo);
      fs::create_directories(c / "altrove");
      scrivi_testo(c / "altrove" / nome, testo);
      fs::create_symlink(fs::path("altrove") / nome, c / nome);
    };
    if (linea) sorgente(nome_linea, *linea);
    if (corsa) sorgente(nome_corsa, *corsa);
    for (const std::string& f : compilati) scrivi_testo(c / f, "vecchio " + f);
  }

  esito_processo compila(std::optional<long> limite = std::nullopt,
                         bool senza_linea = false) const {
    std::vector<std::string> a;
    if (senza_linea) a.push_back("--senza-linea");
    a.insert(a.end(), {c.percorso().string(), "Prova", "5817"});
    return esegui_processo(limite ? COMPILA_SCENARIO_LIMITABILE_EXE : COMPILA_SCENARIO_EXE, a,
                           limite);
  }

  bool vecchio(const std::string& f) const { return leggi_testo(c / f) == "vecchio " + f; }

  // The author's sources as they were written, and no trace of a private copy.
  void verifica_sorgenti(const std::string& caso) const {
    EXPECT_EQ(fs::exists(c / nome_linea), linea.has_value()) << caso;
    EXPECT_EQ(fs::exists(c / nome_corsa), corsa.has_value()) << caso;
    if (linea) {
      EXPECT_TRUE(leggi_testo(c / nome_linea) == *linea) << caso;
    }
    if (corsa) {
      EXPECT_TRUE(leggi_testo(c / nome_corsa) == *corsa) << caso;
    }
    EXPECT_EQ(temporanei_rimasti(c.percorso()), std::vector<std::string>{}) << caso;
  }
};

// --- A disk that fills up, a target that cannot be replaced ---

struct guasto {
  const char* nome;
  std::optional<long> limite;  // bytes a file may grow to
  bool senza_linea;
  const char* cartella_al_posto;  // a folder where this compiled file goes
  const char* file_nominato;      // the message names it
  bool linea_lunga = false;       // a line source of more than 1000 bytes
  bool collegate = false;         // sources as symbolic links: they are copied
  int32_t metri = 2000;           // the line's length
  const char* aperto = nullptr;   // a compiled file another program holds open
};

TEST(CompilaScenarioGuasti, NessunFileCompilatoCambiaENessunTemporaneoResta) {
  const guasto casi[] = {
      // The line file of 2000 m takes 179 964 bytes, the others a few KB.
      {"disco pieno sul file di linea", 100000, false, nullptr, "Prova_linea.dat"},
      // 10 MB, in many pieces: the limit is passed part-way through them.
      {"disco pieno sul file di linea di 500 km", 4 << 20, false, nullptr, "Prova_linea.dat", false,
       false, 500000},
      {"disco pieno sul file della tabella", 1000, true, nullptr, "Prova_5817.sim"},
      {"disco pieno copiando una sorgente", 1000, false, nullptr, nome_linea, true, true},
      {"cartella al posto del file di linea", std::nullopt, false, "Prova_linea.dat",
       "Prova_linea.dat"},
      {"cartella al posto del file del tracciato", std::nullopt, false, "Prova_5817.dat",
       "Prova_5817.dat"},
#ifdef _WIN32
      // The line file takes its place last: the two before it stay old too.
      {"file di linea aperto nel simulatore", std::nullopt, false, nullptr, "Prova_linea.dat",
       false, false, 2000, "Prova_linea.dat"},
#endif
  };
  for (const guasto& g : casi) {
    // The copy of a linked source is made by the system's own call, which a
    // size limit set for a test reaches only where the system sets it.
    if (g.collegate && !collegamenti_simbolici) continue;
    const std::string linea = g.linea_lunga     ? linea_con(std::string(2000, 'q') + "\r\n")
                              : g.metri != 2000 ? linea_con("", g.metri)
                                                : linea_2000;
    cartella_autore a(linea, corsa_buona, g.collegate);
    if (g.cartella_al_posto != nullptr) {
      fs::remove(a.c / g.cartella_al_posto);
      fs::create_directory(a.c / g.cartella_al_posto);
    }
#ifdef _WIN32
    std::optional<tenuto_aperto> aperto;
    if (g.aperto != nullptr) aperto.emplace(a.c / g.aperto);
#endif
    const esito_processo e = a.compila(g.limite, g.senza_linea);
    ASSERT_TRUE(e.uscito) << g.nome << ": segnale " << e.segnale;
    EXPECT_EQ(e.stato, stato_uscita::errore_file) << g.nome << "\n" << e.errori;
    EXPECT_NE(e.errori.find(g.file_nominato), std::string::npos) << g.nome << "\n" << e.errori;
    EXPECT_EQ(e.errori.find(".compila_scenario"), std::string::npos)
        << g.nome << ": the author's file is named, not the private copy\n"
        << e.errori;
    for (const std::string& f : compilati) {
      if (g.cartella_al_posto != nullptr && f == g.cartella_al_posto)
        EXPECT_TRUE(fs::is_directory(a.c / f)) << g.nome;
      else
        EXPECT_TRUE(a.vecchio(f)) << g.nome << ": " << f;
    }
    a.verifica_sorgenti(g.nome);
  }
}

TEST(CompilaScenarioGuasti, ConSpazioSufficienteIlLimiteNonDisturba) {
  cartella_autore a(linea_2000, corsa_buona);
  const esito_processo e = a.compila(200000);
  ASSERT_TRUE(e.uscito);
  EXPECT_EQ(e.stato, stato_uscita::successo) << e.errori;
  EXPECT_EQ(leggi_testo(a.c / "Prova_linea.dat").size(), 179964u);
  EXPECT_EQ(leggi_testo(a.c / "Prova_5817.dat").size(), 15u * 181);
  a.verifica_sorgenti("limite largo");
}

// --- Broken sources ---

// Bytes of every value, from a fixed generator, so a failure can be replayed.
std::string binario(size_t n, uint32_t stato) {
  std::string s(n, '\0');
  for (char& c : s) {
    stato = stato * 1664525u + 1013904223u;
    c = static_cast<char>(stato >> 24);
  }
  return s;
}

std::string ripeti(std::string_view riga, int volte, int passo, int da) {
  std::string s;
  for (int i = 0; i < volte; ++i) {
    std::string r(riga);
    r.replace(r.find('#'), 1, std::to_string(da + i * passo));
    s += r + "\r\n";
  }
  return s;
}

struct sorgente_rotta {
  const char* nome;
  std::optional<std::string> linea, corsa;
  int stato;
  const char* messaggio;  // a part of standard error; "" when there is none
};

TEST(CompilaScenarioGuasti, SorgentiRotte) {
  const std::string mb4(4 << 20, 'q');
  const std::string sec = "0,0,0, 0,0,0, 0,0,0, 0, 6,0,0, ";
  const sorgente_rotta casi[] = {
      // Missing, empty, binary, truncated.
      {"linea mancante", std::nullopt, corsa_buona, 3, "Errore n. 101"},
      {"corsa mancante", linea_2000, std::nullopt, 1,
       "Errore n. 25 (posizione 0 m): manca il file Prova_5817-.txt\n"},
      {"linea vuota", "", corsa_buona, 3, "Errore n. 102"},
      {"corsa vuota", linea_2000, "", 0, ""},
      {"linea binaria", binario(4096, 7), corsa_buona, 3, "nessun tracciato"},
      {"corsa binaria", linea_2000, binario(4096, 11), 0, ""},
      {"linea troncata dentro un record",
       "[generale]\r\nlunghezza percorso, 500\r\n[curve]\r\npendenza,  500", corsa_buona, 1,
       "Errore n. 25"},
      {"corsa troncata dentro una stazione", linea_2000,
       "[generale]\r\nstazione,  4000, 24,  400, 0", 1, "Errore n. 25"},
      // Several MB on one line.
      {"voce iniziale di 4 MB", linea_con(mb4 + "\r\n"), corsa_buona, 0, ""},
      {"testo di cartello di 4 MB", linea_con("cartello_indicatore, 1000, " + mb4 + "\r\n"),
       corsa_buona, 1, "Errore n. 25"},
      {"nome di stazione di 4 MB", linea_2000,
       corsa_con("stazione, 4000, 24, 400, " + sec + mb4 + "\r\n"), 1, "Errore n. 25"},
      {"numero di 3 MB",
       "[generale]\r\nlunghezza percorso, " + std::string(3 << 20, '9') + "\r\n[fine]\r\n",
       corsa_buona, 3, "Errore n. 25"},
      {"zeri in testa per 3 MB",
       "[generale]\r\nlunghezza percorso, " + std::string(3 << 20, '0') +
           "2000\r\n[curve]\r\n[fine]\r\n",
       corsa_buona, 0, ""},
      // NUL bytes.
      {"NUL in una voce iniziale", linea_con("pend\0enza,  500,   3\r\n"s), corsa_buona, 0, ""},
      {"NUL dopo un numero", "[generale]\r\nlunghezza percorso, 2000\0\r\n[curve]\r\n[fine]\r\n"s,
       corsa_buona, 0, ""},
      // Numbers past 32 bits and past their fields.
      {"lunghezza oltre 32 bit",
       "[generale]\r\nlunghezza percorso, 4294967296\r\n[curve]\r\n[fine]\r\n", corsa_buona, 3,
       "Errore n. 25"},
      {"posizione oltre 32 bit", linea_2000, corsa_con("velocita, 2147483648, 80\r\n"), 1,
       "Errore n. 25"},
      {"ora oltre un Integer", linea_2000, corsa_con("orologio, 32768, 0, 0\r\n"), 1,
       "Errore n. 25"},
      {"tipo di stazione oltre un Byte", linea_2000,
       corsa_con("stazione, 4000, 256, 400, " + sec + "X\r\n"), 1, "Errore n. 25"},
      // Negative and huge positions.
      {"pendenza a posizione negativa", linea_con("pendenza, -5000, 3\r\n"), corsa_buona, 0, ""},
      {"cartello a posizione negativa", linea_con("cartello_indicatore, -5000, X\r\n"), corsa_buona,
       1, "Errore n. 15 (posizione -5000 m)"},
      {"pendenza alla posizione massima", linea_con("pendenza, 2147483647, 3\r\n"), corsa_buona, 1,
       "Errore n. 15 (posizione 2147483647 m)"},
      {"montagna dalla posizione minima", linea_con("montagna, -2147483648, 100, 12\r\n"),
       corsa_buona, 0, ""},
      {"punto di codice a posizione negativa", linea_2000, corsa_con("abbattimento, -500, 270\r\n"),
       1, "Errore n. 15 (posizione -500 m)"},
      {"segnale a posizione negativa", linea_2000,
       corsa_con("segnale, -1000, 1,0,0,0,0,0,0,0,0,0\r\n"), 1, "Errore n. 15 (posizione -1000 m)"},
      {"stazione a posizione minima", linea_2000,
       corsa_con("stazione, -2000000000, 24, 400, " + sec + "X\r\n"), 1, "Errore n. 24"},
      {"rallentamento lungo oltre la linea", linea_2000,
       corsa_con("rallentamento, 100, 60, 2147483647, 0, 0, 0\r\n"), 1,
       "Errore n. 15 (posizione 100 m)"},
      {"aderenza e velocità alla posizione minima", linea_2000,
       corsa_con("aderenza, -2147483648, 5\r\nvelocita, -2147483648, 80\r\n"), 0, ""},
      {"curva oltre il milionesimo metro", linea_con("curvad4, 8000, 2000000\r\n"), corsa_buona, 1,
       "Errore n. 103"},
      {"curva oltre la fine della linea", linea_con("curvad4, 8000, 500000\r\n"), corsa_buona, 0,
       ""},
      {"pendenze ripetute oltre l'ultima cella", linea_con(ripeti("pendenza, #, 3", 20, 0, 8900)),
       corsa_buona, 0, ""},
      {"aderenze fuori ordine oltre l'ultima cella", linea_2000,
       corsa_con("aderenza, 8900, 5\r\n" + ripeti("aderenza, #, 7", 300, 0, 100)), 0, ""},
      // More than 80 boards and spans.
      // Board texts fill entries 80 down to 1: a station would then find no room.
      {"80 cartelli", linea_con(ripeti("cartello_indicatore, #, X", 80, 100, 100), 10000),
       corsa_con("numero vetture, 4\r\n"), 0, ""},
      {"81 cartelli", linea_con(ripeti("cartello_indicatore, #, X", 81, 100, 100), 10000),
       corsa_buona, 1, "Errore n. 25"},
      {"80 montagne", linea_con(ripeti("montagna, #, 50, 1", 80, 0, 0)), corsa_buona, 0, ""},
      {"81 montagne", linea_con(ripeti("montagna, #, 50, 1", 81, 0, 0)), corsa_buona, 1,
       "Errore n. 25"},
      // Objects stacked on one cell (a board at 1000 m takes cell 21).
      {"cartello su cartello",
       linea_con("cartello_indicatore, 1000, A\r\ncartello_indicatore, 1000, B\r\n"), corsa_buona,
       1, "Errore n. 6 (posizione 1000 m)"},
      {"indicatore su cartello",
       linea_con("cartello_indicatore, 1000, A\r\nindicatori_v, 1000, 1,1,1,0,1,1,1,0\r\n"),
       corsa_buona, 1, "Errore n. 21 (posizione 1000 m)"},
      {"segnale su cartello", linea_2000, corsa_con("segnale, 1000, 1,0,0,0,0,0,0,0,0,0\r\n"), 1,
       "Errore n. 16 (posizione 1000 m)"},
      {"punto di codice su cartello", linea_2000, corsa_con("abbattimento, 1050, 270\r\n"), 1,
       "Errore n. 7 (posizione 1050 m)"},
      {"rallentamento su cartello", linea_2000,
       corsa_con("rallentamento, 1000, 60, 500, 0, 0, 0\r\n"), 1,
       "Errore n. 18 (posizione 1000 m)"},
      {"fermata su cartello", linea_2000, corsa_con("stazione, 1100, 24, 0, " + sec + "X\r\n"), 1,
       "Errore n. 23 (posizione 1100 m)"},
      // The very start and the very end of the track.
      {"segnale all'inizio", linea_2000, corsa_con("segnale, 0, 2,1,1,1,0,0,0,0,0,0\r\n"), 3,
       " Errore n. 1250"},
      {"rallentamento all'inizio", linea_2000, corsa_con("rallentamento, 0, 60, 500, 0, 0, 0\r\n"),
       3, " Errore n. 1250"},
      {"segnale all'ultima posizione", linea_2000,
       corsa_con("segnale, 8900, 2,1,1,1,0,0,0,0,0,0\r\n"), 0, ""},
      {"segnale oltre l'ultima posizione", linea_2000,
       corsa_con("segnale, 8901, 1,0,0,0,0,0,0,0,0,0\r\n"), 1, "Errore n. 15 (posizione 8901 m)"},
      {"rallentamento all'ultima posizione", linea_2000,
       corsa_con("rallentamento, 8900, 60, 0, 0, 1, 0\r\n"), 0, ""},
      {"rallentamento che finisce oltre la linea", linea_2000,
       corsa_con("rallentamento, 8800, 60, 500, 0, 1, 0\r\n"), 1,
       "Errore n. 15 (posizione 8800 m)"},
      {"stazione all'ultima posizione", linea_2000,
       corsa_con("stazione, 8200, 24, 400, " + sec + "X\r\n"), 0, ""},
      {"stazione oltre l'ultima posizione", linea_2000,
       corsa_con("stazione, 8250, 24, 400, " + sec + "X\r\n"), 1,
       "Errore n. 15 (posizione 8250 m)"},
  };
  for (const sorgente_rotta& k : casi) {
    cartella_autore a(k.linea, k.corsa);
    const esito_processo e = a.compila();
    ASSERT_TRUE(e.uscito) << k.nome << ": segnale " << e.segnale << "\n" << e.errori;
    EXPECT_EQ(e.stato, k.stato) << k.nome << "\n" << e.errori.substr(0, 2000);
    EXPECT_NE(e.errori.find(k.messaggio), std::string::npos) << k.nome << "\n"
                                                             << e.errori.substr(0, 2000);
    if (k.stato == stato_uscita::successo) {
      // Nothing but warnings about what was read.
      std::istringstream righe(e.errori);
      for (std::string r; std::getline(righe, r);)
        EXPECT_NE(r.find(": avviso: "), std::string::npos) << k.nome << ": " << r;
    }
    for (const std::string& f : compilati) {
      // An error: nothing touched. Compiled clean: the whole set replaced.
      EXPECT_EQ(a.vecchio(f), k.stato != stato_uscita::successo) << k.nome << ": " << f;
    }
    a.verifica_sorgenti(k.nome);
  }
}

TEST(CompilaScenarioGuasti, ByteNulNelNomeDiStazioneArrivaNelFileTabella) {
  const std::string nome = "NO\0ME\xE0"s;
  cartella_autore a(
      linea_2000,
      corsa_con("stazione, 4000, 24, 400, 0,0,0, 0,0,0, 0,0,0, 0, 6,0,0, " + nome + "\r\n"));
  const esito_processo e = a.compila();
  ASSERT_TRUE(e.uscito);
  EXPECT_EQ(e.stato, stato_uscita::successo) << e.errori;
  // Entry 1 follows entry 0 (34 bytes): its text length at +14, the bytes at +16.
  const std::string sim = leggi_testo(a.c / "Prova_5817.sim");
  ASSERT_GE(sim.size(), 34u + 16 + nome.size());
  EXPECT_EQ(sim[34 + 14], static_cast<char>(nome.size()));
  EXPECT_EQ(sim.substr(34 + 16, nome.size()), nome);
  a.verifica_sorgenti("NUL nel nome");
}

}  // namespace
