// docs/sorgenti.md, the authors' guide to the sources, against the compiler:
// every row it reads has its section there, every warning and error code its
// line, and every example compiles to the outcome written beside it.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <optional>
#include <regex>
#include <set>
#include <sstream>

#include "compiler/codici_errore.h"
#include "compiler/parole_chiave.h"
#include "testing/compilazione_prova.h"

namespace {

// The names the guide gives the warnings.
const std::map<std::string, tipo_avviso> nomi_avvisi = {
    {"parola chiave sconosciuta", tipo_avviso::riga_sconosciuta},
    {"valore di troppo", tipo_avviso::voce_in_piu},
    {"numero illeggibile", tipo_avviso::numero_illeggibile},
    {"numero mancante", tipo_avviso::numero_vuoto},
    {"trattino nella riga", tipo_avviso::commento_sospetto},
    {"curva ambigua", tipo_avviso::curva_ambigua},
    {"valore troncato", tipo_avviso::valore_troncato},
    {"righe fuori ordine", tipo_avviso::fuori_ordine},
    {"curva sovrapposta", tipo_avviso::curva_tagliata},
    {"curva oltre la fine", tipo_avviso::curva_oltre_fine},
    {"manca [generale]", tipo_avviso::senza_generale},
    {"orario impossibile", tipo_avviso::orario_impossibile},
    {"orario all'indietro", tipo_avviso::orario_indietro},
    {"numero negativo", tipo_avviso::numero_negativo},
    {"testo spezzato", tipo_avviso::testo_spezzato},
    {"byte NUL", tipo_avviso::byte_nul},
    {"file in UTF-8", tipo_avviso::testo_utf8},
    {"riga continuata", tipo_avviso::riga_continuata},
    {"riga generale fuori posto", tipo_avviso::generale_fuori},
};

// An example: one or more source blocks, then the outcome line ("→ ...").
struct esempio {
  int riga = 0;                                // of the outcome line in the guide
  std::map<std::string, std::string> blocchi;  // kind of block -> its lines
  std::string esito;
};

// A row section of the guide ("### `pendenza`"): its file and its words.
struct sezione {
  std::optional<file_sorgente> file;
  std::vector<std::string> parole;  // what the heading quotes
  std::string testo;                // the text up to the next heading, on one line
};

struct guida {
  std::vector<esempio> esempi;
  std::vector<sezione> sezioni;
  std::string testo;
};

// Blocks that hold sources, and where the test puts their lines.
const std::set<std::string> blocchi_sorgente = {"linea", "generale", "corsa", "linea-file",
                                                "corsa-file"};
const std::set<std::string> altri_blocchi = {"sh", "testo"};

std::string nomi(const std::set<tipo_avviso>& tipi) {
  std::string r;
  for (const auto& [nome, tipo] : nomi_avvisi)
    if (tipi.count(tipo)) r += "\xC2\xAB" + nome + "\xC2\xBB ";
  return r.empty() ? "nessun avviso" : r;
}

std::vector<std::string> citati(const std::string& riga) {
  std::vector<std::string> r;
  for (size_t a = riga.find('`'); a != std::string::npos; a = riga.find('`', a)) {
    const size_t b = riga.find('`', a + 1);
    if (b == std::string::npos) break;
    r.push_back(riga.substr(a + 1, b - a - 1));
    a = b + 1;
  }
  return r;
}

guida leggi_guida() {
  std::ifstream f(std::string(CARTELLA_PROGETTO) + "/docs/sorgenti.md");
  std::stringstream s;
  s << f.rdbuf();
  guida g;
  g.testo = s.str();
  std::istringstream in(g.testo);
  std::string riga;
  int n = 0;
  std::optional<file_sorgente> file;
  esempio in_corso;
  sezione* attuale = nullptr;
  while (std::getline(in, riga)) {
    ++n;
    if (riga.starts_with("#")) {
      EXPECT_TRUE(in_corso.blocchi.empty()) << "riga " << n << ": un esempio senza esito";
      in_corso = {};
      attuale = nullptr;
    }
    if (riga.starts_with("## ")) {
      file.reset();
      if (riga.find("`NOME_linea.txt`") != std::string::npos) file = file_sorgente::linea;
      if (riga.find("`NOME_TRENO-.txt`") != std::string::npos) file = file_sorgente::corsa;
    } else if (riga.starts_with("### ")) {
      g.sezioni.push_back({file, citati(riga), ""});
      attuale = &g.sezioni.back();
    } else if (riga.starts_with("```")) {
      const std::string tipo = riga.substr(3);
      std::string blocco;
      while (std::getline(in, riga) && !riga.starts_with("```")) {
        ++n;
        blocco += riga + "\n";
      }
      ++n;
      if (blocchi_sorgente.count(tipo)) {
        EXPECT_EQ(in_corso.blocchi.count(tipo), 0u) << "riga " << n << ": due blocchi " << tipo;
        in_corso.blocchi[tipo] = blocco;
      } else {
        EXPECT_TRUE(altri_blocchi.count(tipo)) << "riga " << n << ": blocco '" << tipo << "'";
      }
    } else if (riga.starts_with("\xE2\x86\x92 ")) {  // →
      EXPECT_FALSE(in_corso.blocchi.empty()) << "riga " << n << ": un esito senza esempio";
      in_corso.riga = n;
      in_corso.esito = riga;
      g.esempi.push_back(in_corso);
      in_corso = {};
    } else if (attuale != nullptr) {
      attuale->testo += riga + " ";
    }
  }
  EXPECT_TRUE(in_corso.blocchi.empty()) << "l'ultimo esempio non ha esito";
  return g;
}

const guida& la_guida() {
  static const guida g = leggi_guida();
  return g;
}

// The guide is UTF-8; sources are Windows-1252, and examples keep to the
// letters both share (no curly quotes, no long dashes).
std::string in_1252(const std::string& s, int riga) {
  std::string r;
  for (size_t i = 0; i < s.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
      r += s[i];
    } else if ((c == 0xC2 || c == 0xC3) && i + 1 < s.size()) {
      r += static_cast<char>(((c & 0x1F) << 6) | (static_cast<unsigned char>(s[++i]) & 0x3F));
    } else {
      ADD_FAILURE() << "riga " << riga << ": un carattere che Windows-1252 non ha";
    }
  }
  return r;
}

std::string crlf(const std::string& s) {
  std::string r;
  for (char c : s) {
    if (c == '\n') r += '\r';
    r += c;
  }
  return r;
}

// The sources of an example: its blocks where a file has them, the rest
// plain, on a line of 10 000 m.
std::pair<std::string, std::string> sorgenti(const esempio& e) {
  const auto blocco = [&](const char* tipo) -> std::optional<std::string> {
    const auto b = e.blocchi.find(tipo);
    if (b == e.blocchi.end()) return std::nullopt;
    return crlf(in_1252(b->second, e.riga));
  };
  const std::string lunghezza = "lunghezza percorso,    10000\r\n";
  std::string linea = "[generale]\r\n" + lunghezza + "[curve]\r\n[fine]\r\n";
  if (auto b = blocco("linea-file")) linea = *b;
  if (auto b = blocco("generale"))
    linea = "[generale]\r\n" + lunghezza + *b + "[curve]\r\n[fine]\r\n";
  if (auto b = blocco("linea"))
    linea = "[generale]\r\n" + lunghezza + "[curve]\r\n" + *b + "[fine]\r\n";
  std::string corsa = "[generale]\r\n[fine]\r\n";
  if (auto b = blocco("corsa-file")) corsa = *b;
  if (auto b = blocco("corsa")) corsa = "[generale]\r\n" + *b + "[fine]\r\n";
  return {linea, corsa};
}

TEST(DocumentoSorgenti, OgniEsempioDaIlSuoEsito) {
  const guida& g = la_guida();
  ASSERT_GT(g.esempi.size(), 40u);
  std::set<tipo_avviso> mostrati;
  const std::regex errore("errore n\\. ([0-9]+)"), nome_avviso("\xC2\xAB([^\xC2]+)\xC2\xBB");
  for (const esempio& e : g.esempi) {
    std::optional<int32_t> errore_atteso;
    std::set<tipo_avviso> attesi;
    std::smatch m;
    if (std::regex_search(e.esito, m, errore)) errore_atteso = std::stoi(m[1]);
    for (auto i = std::sregex_iterator(e.esito.begin(), e.esito.end(), nome_avviso);
         i != std::sregex_iterator(); ++i) {
      const auto n = nomi_avvisi.find((*i)[1]);
      if (n == nomi_avvisi.end()) {
        ADD_FAILURE() << "riga " << e.riga << ": avviso sconosciuto " << (*i)[1];
        continue;
      }
      attesi.insert(n->second);
    }
    const bool pulito = e.esito.find("nessun avviso") != std::string::npos;
    ASSERT_TRUE(pulito || errore_atteso || !attesi.empty())
        << "riga " << e.riga << ": esito illeggibile: " << e.esito;

    compilazione_prova p;
    const auto [linea, corsa] = sorgenti(e);
    p.compila(linea, corsa);
    int32_t codice = p.compilazione.problema.codice;
    // The error stop's number: " Errore n. 1250".
    for (const std::string& fermata : p.fermate)
      if (fermata.starts_with(" Errore n. "))
        codice = std::stoi(fermata.substr(fermata.find_last_of(' ') + 1));
    std::set<tipo_avviso> dati;
    for (const avviso& a : p.compilazione.avvisi.tenuti()) dati.insert(a.tipo);
    mostrati.insert(dati.begin(), dati.end());

    EXPECT_EQ(codice, errore_atteso.value_or(0)) << "riga " << e.riga << ": " << e.esito;
    if (!errore_atteso || !attesi.empty()) {
      EXPECT_EQ(nomi(dati), nomi(attesi))
          << "riga " << e.riga << ": " << e.esito << "\n"
          << (dati.empty() ? "" : p.compilazione.avvisi.tenuti()[0].testo);
    }
  }
  // Each kind of warning is shown by an example, but a NUL byte, which a page
  // of text cannot hold (compila_scenario's tests show it).
  mostrati.insert(tipo_avviso::byte_nul);
  EXPECT_EQ(mostrati.size(), tipi_di_avviso);
}

// Each row the compiler reads has a section that says how its keyword is
// matched, and every keyword a section names is one the compiler reads.
TEST(DocumentoSorgenti, OgniParolaChiaveHaLaSuaSezione) {
  const guida& g = la_guida();
  for (const parola_chiave& p : parole_chiave) {
    const auto s = std::find_if(g.sezioni.begin(), g.sezioni.end(), [&](const sezione& x) {
      return x.file == p.file &&
             std::find(x.parole.begin(), x.parole.end(), p.forma) != x.parole.end();
    });
    ASSERT_NE(s, g.sezioni.end()) << "nessuna sezione per '" << p.forma << "'";
    std::string come = "contiene `" + std::string(p.parola) + "`";
    EXPECT_NE(s->testo.find(come), std::string::npos) << p.forma << ": " << come;
    if (!p.seconda.empty()) {
      EXPECT_NE(s->testo.find("`" + std::string(p.seconda) + "`"), std::string::npos) << p.forma;
    }
    const std::string maiuscole =
        p.ogni_maiuscola ? "maiuscole o minuscole indifferenti" : "in lettere minuscole";
    EXPECT_NE(s->testo.find(maiuscole), std::string::npos) << p.forma << ": " << maiuscole;
  }
  for (const sezione& s : g.sezioni) {
    if (!s.file) continue;
    for (const std::string& parola : s.parole) {
      const bool apre = std::any_of(parole_chiave.begin(), parole_chiave.end(), [&](auto& p) {
        return p.file == *s.file && apre_riga(parola, p.riga);
      });
      EXPECT_TRUE(apre) << "'" << parola << "' non apre nessuna riga del suo file";
    }
  }
}

// Each warning has its line in the table of warnings, and each error code
// its line in the table of errors.
TEST(DocumentoSorgenti, OgniAvvisoEOgniErroreNelleTabelle) {
  const guida& g = la_guida();
  std::set<tipo_avviso> tipi;
  for (const auto& [nome, tipo] : nomi_avvisi) {
    tipi.insert(tipo);
    EXPECT_NE(g.testo.find("| \xC2\xAB" + nome + "\xC2\xBB |"), std::string::npos) << nome;
  }
  EXPECT_EQ(tipi.size(), tipi_di_avviso);

  const size_t errori = g.testo.find("\n## Errori\n");
  ASSERT_NE(errori, std::string::npos);
  std::set<int32_t> nella_tabella;
  std::istringstream in(g.testo.substr(errori));
  for (std::string riga; std::getline(in, riga);) {
    if (!riga.starts_with("| ")) continue;
    std::istringstream cella(riga.substr(2, riga.find(" |", 1) - 2));
    for (std::string numero; std::getline(cella, numero, ',');) {
      try {
        nella_tabella.insert(std::stoi(numero));
      } catch (const std::exception&) {
      }
    }
  }
  for (const voce_errore& e : elenco_errori)
    EXPECT_TRUE(nella_tabella.count(numero_errore(e.codice))) << numero_errore(e.codice);
}

}  // namespace
