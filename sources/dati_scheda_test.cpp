// The train sheet read back: the shape of its boxes and of its ruled table, and
// its rows against the carried sources (stations in running order, times,
// speed limits and cab-signal marks from the run source; kilometre
// progressives, cab-signal range and speed ranks from the line source), so a
// change to a source that the sheet does not follow fails here.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <regex>
#include <string>
#include <utility>
#include <vector>

#include "sources/scenario_portato.h"
#include "testing/righe_sorgente.h"

namespace {

std::string_view rigo(size_t n) { return righe_scheda()[n - 1]; }  // lines counted from 1

constexpr size_t primo_luogo = 17, ultimo_luogo = 48;  // the 32 location rows

std::vector<size_t> colonne(std::string_view r, char c) {
  std::vector<size_t> out;
  for (size_t i = 0; i < r.size(); ++i)
    if (r[i] == c) out.push_back(i);
  return out;
}

std::string spoglia(std::string_view s, char c = ' ') {
  size_t a = s.find_first_not_of(c);
  if (a == std::string_view::npos) return "";
  return std::string(s.substr(a, s.find_last_not_of(c) - a + 1));
}

bool combacia(const std::string& s, const char* forma, std::smatch* m = nullptr) {
  std::smatch scarto;
  return std::regex_match(s, m ? *m : scarto, std::regex(forma));
}

// A text centred in its field: the fill on the two sides differs by one at most.
void verifica_centrato(std::string_view campo, char riempi, std::string_view testo) {
  size_t sinistra = campo.find_first_not_of(riempi);
  ASSERT_NE(sinistra, std::string_view::npos) << campo;
  size_t destra = campo.size() - 1 - campo.find_last_not_of(riempi);
  EXPECT_EQ(campo.substr(sinistra, campo.size() - sinistra - destra), testo) << campo;
  EXPECT_LE(std::max(sinistra, destra) - std::min(sinistra, destra), 1u) << campo;
}

// --- The carried sources, as far as the sheet needs them ---

struct stazione {
  long posizione, tipo, orario;  // orario in seconds from midnight, 0 when none
  std::string nome;
};

std::vector<stazione> stazioni_corsa() {
  std::vector<stazione> out;
  for (std::string_view r : sezione(righe_sorgente_corsa(), "[stazioni]")) {
    auto f = campi(r);
    if (f.size() != 18) {
      ADD_FAILURE() << r;
      continue;
    }
    long ora = numero_campo(r, 14) * 3600 + numero_campo(r, 15) * 60 + numero_campo(r, 16);
    out.push_back({numero_campo(r, 1), numero_campo(r, 2), ora, spoglia(f[17])});
  }
  return out;
}

// Position and value of the records of a section (the code "AC" reads as 0).
std::vector<std::pair<long, long>> coppie(std::span<const std::string_view> righe,
                                          std::string_view intestazione) {
  std::vector<std::pair<long, long>> out;
  for (std::string_view r : sezione(righe, intestazione))
    out.emplace_back(numero_campo(r, 1), numero_campo(r, 2));
  return out;
}

// The value in force at p: that of the last record at or before p.
long in_vigore(const std::vector<std::pair<long, long>>& elenco, long p) {
  long v = -1;
  for (auto [q, w] : elenco)
    if (q <= p) v = w;
  return v;
}

std::string_view riga_generale(std::string_view inizio) {
  for (std::string_view r : sezione(righe_sorgente_linea(), "[generale]"))
    if (r.starts_with(inizio)) return r;
  ADD_FAILURE() << inizio;
  return "";
}

// --- The timetable rows ---

enum class forma { partenza, arrivo_partenza, transito, richiesta, senza_orario, vuota };

struct orario_letto {
  forma f;
  long arrivo = -1, ora = -1;  // ora: departure, passing or request time, in seconds
};

std::optional<orario_letto> leggi_orario(const std::string& cella) {
  auto tempo = [](const std::smatch& m, size_t i) {
    return std::stol(m[i]) * 3600 + std::stol(m[i + 1]) * 60 + (m[i + 2] == "+" ? 30 : 0);
  };
  std::smatch m;
  if (combacia(cella, R"( {11}(\d)\.(\d\d)([+ ]))", &m))
    return orario_letto{forma::partenza, -1, tempo(m, 1)};
  if (combacia(cella, R"( (\d)\.(\d\d)([+ ]) {5}(\d)\.(\d\d)([+ ]))", &m))
    return orario_letto{forma::arrivo_partenza, tempo(m, 1), tempo(m, 4)};
  if (combacia(cella, R"( {6}(\d)\.(\d\d)(\+| ) {5})", &m))
    return orario_letto{forma::transito, -1, tempo(m, 1)};
  if (combacia(cella, R"( {6}(\d)\.(\d\d)(\+)\(XXX\))", &m))
    return orario_letto{forma::richiesta, -1, tempo(m, 1)};
  if (cella == "       -        ") return orario_letto{forma::senza_orario};
  if (cella == std::string(16, ' ')) return orario_letto{forma::vuota};
  return std::nullopt;
}

// A speed limit cell: the limit right-aligned in 4 and a blank, or 5 blanks.
std::optional<long> leggi_limite(const std::string& cella) {
  std::smatch m;
  if (combacia(cella, R"( *(\d{1,4}) )", &m)) return std::stol(m[1]);
  EXPECT_EQ(cella, "     ");
  return std::nullopt;
}

struct luogo {
  size_t rigo;
  std::string vel, mar, km, nome, orario, bin_dx, srs;  // cells; the closing row's fill undone
  long progressiva = -1;                                // the km column in metres
  long posizione = -1;  // metres from the start; -1 when no line reads that km there
};

// The progressive column read back into positions: a row's km is read on the
// line the run is on, or on the next one, which takes over where the previous
// line ends (one 50 m step before its own first point).
std::vector<luogo> luoghi() {
  struct segmento {
    long inizio, valore;
  };
  std::vector<segmento> segmenti;
  for (std::string_view r : sezione(righe_sorgente_linea(), "[generale]"))
    if (r.starts_with("progressiva chilometrica"))
      segmenti.push_back({numero_campo(r, 1), numero_campo(r, 2)});
  if (segmenti.empty()) ADD_FAILURE() << "no progressive segments";

  std::vector<luogo> out;
  size_t s = 0;
  long precedente = 0;
  for (size_t n = primo_luogo; n <= ultimo_luogo; ++n) {
    std::string r(rigo(n).substr(0, 89));
    r.resize(89, ' ');  // a short row fails the width test, not here
    if (n == ultimo_luogo) std::replace(r.begin() + 2, r.end(), '_', ' ');
    luogo l{n,
            r.substr(2, 5),
            r.substr(8, 5),
            r.substr(14, 10),
            r.substr(25, 24),
            r.substr(50, 16),
            r.substr(67, 9),
            r.substr(77, 11)};
    std::smatch m;
    if (combacia(l.km, R"( *(\d+)\.(\d{3}) )", &m))
      l.progressiva = std::stol(m[1]) * 1000 + std::stol(m[2]);
    auto legge = [&](size_t i, long minimo) {
      long p = segmenti[i].valore - l.progressiva;
      bool dentro = p >= minimo && (i + 1 == segmenti.size() || p < segmenti[i + 1].inizio);
      return dentro ? p : -1;
    };
    if (l.progressiva >= 0 && !segmenti.empty()) {
      l.posizione = legge(s, precedente);
      if (l.posizione < 0 && s + 1 < segmenti.size()) {
        l.posizione = legge(s + 1, std::max(precedente, segmenti[s + 1].inizio - 50));
        if (l.posizione >= 0) ++s;
      }
    }
    if (l.posizione >= 0) precedente = l.posizione;
    out.push_back(l);
  }
  return out;
}

bool e_cippo(const luogo& l) { return l.nome.starts_with("cippo Km "); }
bool e_deviatoio(const luogo& l) { return l.nome.starts_with("Dev. "); }
bool e_segnale(const luogo& l) { return l.nome.starts_with("segn. prot. "); }
bool e_localita(const luogo& l) { return !e_cippo(l) && !e_deviatoio(l) && !e_segnale(l); }

// --- Shape ---

TEST(SchedaTreno, LarghezzeERighelli) {
  ASSERT_EQ(righe_scheda().size(), 54u);
  const std::vector<size_t> tabella = {1, 7, 13, 24, 49, 66, 76, 88};
  const struct {
    size_t da, a, larghezza;
    std::vector<size_t> regole;
  } gruppi[] = {
      {3, 3, 84, {}},
      {4, 6, 85, {1, 21, 38, 61, 84}},
      {7, 7, 85, {21, 38, 61, 84}},
      {8, 8, 84, {21, 38}},
      {9, 10, 85, {1, 21, 38, 61, 75, 84}},
      {11, 11, 93, {1, 21, 38, 61, 75, 84}},
      {13, 13, 89, {}},
      {14, 14, 89, {1, 13, 49, 66, 76, 88}},  // km and place name share one heading cell
      {15, 16, 89, {1, 7, 13, 49, 66, 76, 88}},
      {primo_luogo, ultimo_luogo - 1, 89, tabella},
      {ultimo_luogo, ultimo_luogo, 91, tabella},
  };
  for (const auto& g : gruppi) {
    for (size_t n = g.da; n <= g.a; ++n) {
      EXPECT_EQ(rigo(n).size(), g.larghezza) << "line " << n;
      EXPECT_EQ(colonne(rigo(n), '|'), g.regole) << "line " << n;
      EXPECT_EQ(colonne(rigo(n), '*'), std::vector<size_t>{}) << "line " << n;
    }
  }
  for (size_t n : {1, 12, 53, 54}) EXPECT_EQ(rigo(n), "") << "line " << n;
  EXPECT_EQ(rigo(2), std::string(42, ' ') + "SCHEDA TRENO");
  EXPECT_EQ(rigo(13), "  " + std::string(87, '_'));

  // Box tops and bottoms span their boxes exactly.
  auto tratti = [](std::string_view r) {
    std::vector<std::pair<size_t, size_t>> out;
    for (size_t i = 0; i < r.size();) {
      if (r[i] != '_') {
        ++i;
        continue;
      }
      size_t j = r.find_first_not_of('_', i);
      if (j == std::string_view::npos) j = r.size();
      out.emplace_back(i, j);
      i = j;
    }
    return out;
  };
  using tratto = std::vector<std::pair<size_t, size_t>>;
  EXPECT_EQ(tratti(rigo(3)), (tratto{{2, 21}, {22, 38}, {62, 84}}));
  EXPECT_EQ(tratti(rigo(11)), (tratto{{2, 21}, {22, 38}, {62, 75}, {76, 84}}));
  EXPECT_EQ(tratti(rigo(8)).back(), (std::pair<size_t, size_t>{62, 84}));
  EXPECT_TRUE(rigo(11).ends_with("|        "));

  // The closing row: every blank of its cells is an underscore, then two blanks.
  std::string_view chiusura = rigo(ultimo_luogo);
  EXPECT_EQ(chiusura.substr(0, 2), " |");
  EXPECT_EQ(chiusura.substr(2, 87).find(' '), std::string_view::npos) << chiusura;
  EXPECT_EQ(chiusura.substr(89), "  ");

  // Single bytes where the sheet has accents and degree signs.
  EXPECT_NE(rigo(4).find("n\xB0 1/1"), std::string_view::npos);
  EXPECT_NE(rigo(14).find("Localit\xE0"), std::string_view::npos);
}

TEST(SchedaTreno, CaselleDellIntestazione) {
  const auto corsa = stazioni_corsa();
  ASSERT_FALSE(corsa.empty());
  const std::string& partenza = corsa.front().nome;
  const std::string& arrivo = corsa.back().nome;
  ASSERT_LE(partenza.size(), 14u);
  ASSERT_LE(arrivo.size(), 14u);

  // Two booklet numbers centred in the first box.
  std::string fascicoli = spoglia(rigo(5).substr(2, 19));
  EXPECT_TRUE(combacia(fascicoli, R"(\d{3} - \d{3})")) << fascicoli;
  verifica_centrato(rigo(5).substr(2, 19), ' ', fascicoli);

  // Departure and arrival, left-aligned after their labels, as in the run.
  EXPECT_EQ(rigo(6).substr(39, 22), "    da: " + partenza + std::string(14 - partenza.size(), ' '));
  EXPECT_EQ(rigo(7).substr(39, 22), "    a:  " + arrivo + std::string(14 - arrivo.size(), ' '));
  verifica_centrato(rigo(8).substr(22, 16), '_', arrivo);

  // Locomotive class and equipment code, four characters each, centred.
  std::string classe = spoglia(rigo(10).substr(62, 13));
  std::string apparato = spoglia(rigo(10).substr(76, 8));
  EXPECT_EQ(classe.size(), 4u);
  EXPECT_EQ(apparato.size(), 4u);
  verifica_centrato(rigo(10).substr(62, 13), ' ', classe);
  verifica_centrato(rigo(10).substr(76, 8), ' ', apparato);
}

TEST(SchedaTreno, CelleDelleRigheDeiLuoghi) {
  const auto l = luoghi();
  ASSERT_EQ(l.size(), 32u);
  size_t localita = 0, cippi = 0, dev_u = 0, dev_i = 0, segnali = 0;
  for (const auto& r : l) {
    SCOPED_TRACE(rigo(r.rigo));
    EXPECT_EQ(r.mar, "     ");
    EXPECT_NE(r.nome.front(), ' ');
    leggi_limite(r.vel);
    auto o = leggi_orario(r.orario);
    ASSERT_TRUE(o.has_value());
    EXPECT_TRUE(r.bin_dx == "         " || r.bin_dx == "    /    " ||
                combacia(r.bin_dx, R"(   \d{2,3} +)"));
    EXPECT_TRUE(r.srs == std::string(11, ' ') || r.srs == " COD   COD " || r.srs == "  :     :  " ||
                r.srs == "NOCOD NOCOD");
    std::smatch m;
    if (e_cippo(r)) {
      ++cippi;
      ASSERT_TRUE(combacia(r.nome, R"(cippo Km (\d+)\+000 *)", &m));
      EXPECT_EQ(r.progressiva, std::stol(m[1]) * 1000);
    } else if (e_deviatoio(r)) {
      (spoglia(r.nome) == "Dev. U." ? dev_u : dev_i) += 1;
      EXPECT_TRUE(spoglia(r.nome) == "Dev. U." || spoglia(r.nome) == "Dev. I.");
    } else if (e_segnale(r)) {
      ++segnali;
      EXPECT_EQ(spoglia(r.nome), "segn. prot. INTERNO");
    } else {
      ++localita;
    }
    // Only stations, junctions and block posts carry times.
    if (!e_localita(r)) {
      EXPECT_TRUE(o->f == forma::senza_orario || o->f == forma::vuota);
    }
  }
  EXPECT_EQ(localita, 21u);
  EXPECT_EQ(cippi, 6u);
  EXPECT_EQ(dev_u, 3u);
  EXPECT_EQ(dev_i, 1u);
  EXPECT_EQ(segnali, 1u);

  EXPECT_EQ(leggi_orario(l.front().orario)->f, forma::partenza);
  // The arrival time stands in the departure place of the closing row.
  EXPECT_TRUE(combacia(std::string(rigo(ultimo_luogo).substr(50, 16)), R"(_{11}\d\.\d\d[+_])"));
}

// --- Agreement with the sources ---

TEST(SchedaTreno, ProgressiveDelleLineePercorse) {
  const auto l = luoghi();
  for (const auto& r : l)
    EXPECT_GE(r.posizione, 0) << "no line reads this km here: " << rigo(r.rigo);
  // The mountain line ends at km 0 where the valley line passes: two readings
  // of one point on consecutive rows.
  auto zero = std::find_if(l.begin(), l.end(), [](const luogo& r) { return r.progressiva == 0; });
  ASSERT_NE(zero, l.end());
  ASSERT_NE(zero + 1, l.end());
  EXPECT_EQ(zero->posizione, (zero + 1)->posizione);
  EXPECT_GT((zero + 1)->progressiva, zero->progressiva);
}

TEST(SchedaTreno, StazioniEOrariComeLaCorsa) {
  const auto corsa = stazioni_corsa();
  const auto l = luoghi();
  size_t k = 0;       // the next station of the run to meet on the sheet
  long orologio = 0;  // the latest time read so far
  for (size_t i = 0; i < l.size(); ++i) {
    const luogo& r = l[i];
    SCOPED_TRACE(rigo(r.rigo));
    auto o = leggi_orario(r.orario);
    ASSERT_TRUE(o.has_value());
    for (long t : {o->arrivo, o->ora}) {
      if (t < 0) continue;
      EXPECT_GE(t, orologio);
      orologio = t;
    }
    if (!e_localita(r)) continue;
    if (k == corsa.size() || spoglia(r.nome) != corsa[k].nome) {
      // A junction or block post the run source does not list: no timetable.
      EXPECT_EQ(o->f, forma::senza_orario);
      continue;
    }
    const stazione& s = corsa[k];
    EXPECT_EQ(r.posizione, s.posizione);
    if (s.orario == 0) {
      EXPECT_TRUE(o->f == forma::senza_orario || o->f == forma::richiesta);
    } else if (k == 0 || k + 1 == corsa.size()) {
      EXPECT_EQ(o->f, forma::partenza);  // departure only; the arrival in its place
      EXPECT_EQ(o->ora, s.orario);
    } else if (s.tipo < 25) {  // the train stops: arrival and departure
      EXPECT_EQ(o->f, forma::arrivo_partenza);
      EXPECT_EQ(o->ora, s.orario);
      EXPECT_LT(o->arrivo, o->ora);
    } else {
      EXPECT_EQ(o->f, forma::transito);
      EXPECT_EQ(o->ora, s.orario);
    }
    EXPECT_EQ(s.orario % 30, 0) << "the sheet shows half minutes only";
    ++k;
  }
  EXPECT_EQ(k, corsa.size()) << "run station not met in order: "
                             << (k < corsa.size() ? corsa[k].nome : "");
  // The table opens with the departure and closes with the arrival.
  EXPECT_EQ(spoglia(l.front().nome), corsa.front().nome);
  EXPECT_EQ(spoglia(l.back().nome), corsa.back().nome);
}

// Each limit of the run stands on the first row at or after its point; a cut
// stands on a row at its own point, never later.
TEST(SchedaTreno, LimitiDiVelocitaComeLaCorsa) {
  const auto limiti = coppie(righe_sorgente_corsa(), "[vel_limite]");
  ASSERT_FALSE(limiti.empty());
  std::vector<long> mostrati;
  std::vector<long> punti_mostrati;
  long precedente = -1;
  for (const luogo& r : luoghi()) {
    SCOPED_TRACE(rigo(r.rigo));
    long atteso = in_vigore(limiti, r.posizione);
    auto letto = leggi_limite(r.vel);
    if (atteso != precedente) {
      EXPECT_EQ(letto, atteso);
      mostrati.push_back(atteso);
      punti_mostrati.push_back(r.posizione);
    } else {
      EXPECT_FALSE(letto.has_value());
    }
    precedente = atteso;
  }
  // No change of the run falls between two rows unseen.
  std::vector<long> della_corsa;
  for (auto [p, v] : limiti) della_corsa.push_back(v);
  EXPECT_EQ(mostrati, della_corsa);
  if (mostrati != della_corsa) return;
  for (size_t j = 1; j < limiti.size(); ++j) {
    if (limiti[j].second < limiti[j - 1].second) {
      EXPECT_EQ(punti_mostrati[j], limiti[j].first)
          << "cut to " << limiti[j].second << " shown late";
    }
  }
}

// The cab-signal marks follow the coded stretch of the line source and the
// code points of the run source: COD where codes start, NOCOD where they stop.
TEST(SchedaTreno, RipetizioneSegnaliComeICodici) {
  std::string_view rs = riga_generale("ripetizione segnali");
  const long inizio = numero_campo(rs, 1), fine = numero_campo(rs, 2);
  const auto codici = coppie(righe_sorgente_corsa(), "[codici]");
  bool prima = false;
  for (const luogo& r : luoghi()) {
    bool ora = r.posizione >= inizio && r.posizione <= fine && in_vigore(codici, r.posizione) > 0;
    std::string atteso = ora ? (prima ? "  :     :  " : " COD   COD ")
                             : (prima ? "NOCOD NOCOD" : std::string(11, ' '));
    EXPECT_EQ(r.srs, atteso) << rigo(r.rigo);
    prima = ora;
  }
}

TEST(SchedaTreno, NoteInFondo) {
  EXPECT_EQ(rigo(49), "  NOTE:");
  EXPECT_TRUE(rigo(50).starts_with("  (XXX) "));
  EXPECT_TRUE(rigo(51).starts_with("  il + "));

  // "Da X ad Y rispettare il rango A.": two places of the sheet, and between
  // them every limit of the run is the first (rank A) speed of its board.
  std::smatch m;
  std::string nota(rigo(52));
  ASSERT_TRUE(combacia(nota, R"(  Da (.+) ad (.+) rispettare il rango A\.)", &m)) << nota;
  const auto l = luoghi();
  auto trova = [&](const std::string& nome) {
    auto it =
        std::find_if(l.begin(), l.end(), [&](const luogo& r) { return spoglia(r.nome) == nome; });
    return it == l.end() ? -1L : it->posizione;
  };
  const long da = trova(m[1]), a = trova(m[2]);
  ASSERT_GE(da, 0) << m[1];
  ASSERT_GT(a, da) << m[2];
  const auto tabelle = coppie(righe_sorgente_linea(), "[cartelli]");  // position, rank A speed
  size_t in_rango = 0;
  for (auto [p, v] : coppie(righe_sorgente_corsa(), "[vel_limite]")) {
    if (p < da || p > a) continue;
    // The board that announces the limit: at its point, or the first past it
    // where the limit starts with the run.
    auto tabella =
        std::find_if(tabelle.begin(), tabelle.end(), [p](auto t) { return t.first >= p; });
    ASSERT_NE(tabella, tabelle.end()) << "no speed board at or after " << p;
    EXPECT_EQ(v, tabella->second) << "limit at " << p << " is not rank A";
    ++in_rango;
  }
  EXPECT_GT(in_rango, 0u);
}

}  // namespace
