#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <regex>
#include <set>
#include <string>

#include "sources/scenario_portato.h"
#include "testing/righe_sorgente.h"

namespace {

std::span<const std::string_view> linea() { return righe_sorgente_linea(); }

bool combacia(std::string_view riga, const std::regex& forma) {
  return std::regex_match(riga.begin(), riga.end(), forma);
}

TEST(SorgenteLinea, OgniSezioneAlSuoRigoConIlSuoNumeroDiRecord) {
  const struct {
    std::string_view intestazione;
    size_t rigo;
    size_t record;
  } attese[] = {{"[generale]", 1, 8},  {"[curve]", 10, 78},     {"[pendenze]", 89, 62},
                {"[montagne]", 152, 20}, {"[cartelli]", 173, 17}, {"[indicazioni]", 191, 22},
                {"[fine]", 214, 0}};
  ASSERT_EQ(linea().size(), 214u);
  for (const auto& a : attese) {
    EXPECT_EQ(linea()[a.rigo - 1], a.intestazione);
    EXPECT_EQ(sezione(linea(), a.intestazione).size(), a.record) << a.intestazione;
  }
}

TEST(SorgenteLinea, OgniRecordHaLaFormaDellaSuaSezione) {
  const struct {
    std::string_view intestazione;
    const char* forma;
  } forme[] = {
      {"[generale]", R"([a-z 9]+(,    \d+){1,3})"},
      {"[curve]", R"(curva[ds][1-6],  \d+,  \d+)"},
      {"[montagne]", R"(montagna,   \d+,  \d+,  \d+)"},
      // The other side of a board is three speeds or three empty fields.
      {"[cartelli]", R"(indicatori_vmax,  \d+(,  \d+){3},  [0-2](,  \d+,  \d+,  \d+|,  ,  ,  ),  0)"},
      {"[indicazioni]", R"(cartello_indicatore,  \d+,   (\([^(),]+\))+)"},
  };
  for (const auto& f : forme) {
    const std::regex forma(f.forma);
    for (std::string_view r : sezione(linea(), f.intestazione))
      EXPECT_TRUE(combacia(r, forma)) << r;
  }
}

TEST(SorgenteLinea, SoloQuattroPendenzeEsconoDallaFormaComune) {
  const std::regex comune(R"(pendenza,  [1-9]\d*,   -?\d+)");
  std::set<std::string_view> diverse;
  for (std::string_view r : sezione(linea(), "[pendenze]"))
    if (!combacia(r, comune)) diverse.insert(r);
  const std::set<std::string_view> attese = {"pendenza,   0,    0", "pendenza,  100700,  -7",
                                             "pendenza,  101200,  -5", "pendenza,  101700,  0 "};
  EXPECT_EQ(diverse, attese);
}

TEST(SorgenteLinea, CurvePerParolaChiave) {
  std::map<std::string, int> conteggi;
  for (std::string_view r : sezione(linea(), "[curve]")) ++conteggi[std::string(campi(r)[0])];
  const std::map<std::string, int> attesi = {
      {"curvad4", 21}, {"curvas4", 17}, {"curvas3", 10}, {"curvad3", 8}, {"curvas2", 7}, {"curvad5", 5},
      {"curvad2", 4},  {"curvas1", 2},  {"curvas5", 2},  {"curvad1", 1}, {"curvas6", 1}};
  EXPECT_EQ(conteggi, attesi);
}

TEST(SorgenteLinea, PosizioniMultipleDi50InOrdineStrettamenteCrescente) {
  const struct {
    std::string_view intestazione;
    long prima, ultima;
  } sezioni[] = {{"[curve]", 500, 117700},  {"[pendenze]", 0, 117900},
                 {"[montagne]", 6950, 112700}, {"[cartelli]", 500, 115500},
                 {"[indicazioni]", 3000, 55000}};
  for (const auto& s : sezioni) {
    auto record = sezione(linea(), s.intestazione);
    ASSERT_FALSE(record.empty());
    long precedente = -1;
    for (std::string_view r : record) {
      long p = numero_campo(r, 1);
      EXPECT_EQ(p % 50, 0) << r;
      EXPECT_GT(p, precedente) << r;
      precedente = p;
    }
    EXPECT_EQ(numero_campo(record.front(), 1), s.prima) << s.intestazione;
    EXPECT_EQ(numero_campo(record.back(), 1), s.ultima) << s.intestazione;
  }
}

TEST(SorgenteLinea, ValoriNeiLoroIntervalli) {
  long corta = 9999, lunga = 0;
  for (std::string_view r : sezione(linea(), "[curve]")) {
    long l = numero_campo(r, 2);
    EXPECT_EQ(l % 50, 0) << r;
    corta = std::min(corta, l);
    lunga = std::max(lunga, l);
  }
  EXPECT_EQ(corta, 50);
  EXPECT_EQ(lunga, 2600);

  long giu = 0, su = 0;
  for (std::string_view r : sezione(linea(), "[pendenze]")) {
    giu = std::min(giu, numero_campo(r, 2));
    su = std::max(su, numero_campo(r, 2));
  }
  EXPECT_EQ(giu, -35);
  EXPECT_EQ(su, 29);

  // Spans come in order, each ending before the next begins.
  long fine_precedente = -1;
  for (std::string_view r : sezione(linea(), "[montagne]")) {
    long inizio = numero_campo(r, 1), fine = numero_campo(r, 2), tipo = numero_campo(r, 3);
    EXPECT_LT(inizio, fine) << r;
    EXPECT_GT(inizio, fine_precedente) << r;
    EXPECT_TRUE(tipo == 1 || tipo == 2 || tipo == 11 || tipo == 12) << r;
    fine_precedente = fine;
  }
  EXPECT_EQ(fine_precedente, 112900);

  // Board speeds, and the other side present only on the last five boards.
  auto cartelli = sezione(linea(), "[cartelli]");
  for (size_t i = 0; i < cartelli.size(); ++i) {
    auto f = campi(cartelli[i]);
    for (size_t j : {2, 3, 4, 6, 7, 8}) {
      if (j >= 6 && i < 12) continue;
      auto v = intero(f[j]);
      ASSERT_TRUE(v.has_value()) << cartelli[i];
      EXPECT_TRUE(*v >= 65 && *v <= 250) << cartelli[i];
    }
    EXPECT_EQ(intero(f[6]).has_value(), i >= 12) << cartelli[i];
  }
}

// Kilometre (in metres) at a position of the run: in each segment the
// progressive falls as the run goes on, from the value the segment carries.
long chilometrica(long p) {
  long inizio_segmento = -1, riferimento = 0;
  for (std::string_view r : sezione(linea(), "[generale]")) {
    if (r.find("progressiva") == std::string_view::npos) continue;
    long inizio = numero_campo(r, 1);
    if (inizio <= p && inizio > inizio_segmento) {
      inizio_segmento = inizio;
      riferimento = numero_campo(r, 2);
    }
  }
  return riferimento - p;
}

TEST(SorgenteLinea, CartelliDiTesto) {
  const std::string sotto = "(______)(______)(______)";
  const std::regex pla(R"(\(P\.L\.A\.    \)\((km|KM)\. (\d\d)\+(\d\d\d)\))");
  const std::regex luoghi(R"(\(.{15}\)|\(.{11}\)\(.{11}\)|\(.{8}\)\(.{8}\))");
  std::set<long> posizioni_sotto;
  int n_sotto = 0, n_pla = 0, pla_dopo_sotto = 0, n_deviatoio = 0, n_luoghi = 0;
  for (std::string_view r : sezione(linea(), "[indicazioni]")) {
    long p = numero_campo(r, 1);
    const std::string testo(campi(r)[2].substr(3));
    std::smatch m;
    if (testo == sotto) {
      ++n_sotto;
      posizioni_sotto.insert(p);
    } else if (std::regex_match(testo, m, pla)) {
      ++n_pla;
      pla_dopo_sotto += posizioni_sotto.count(p - 50);
      // The crossing lies just past its board.
      long km = std::stol(m[2]) * 1000 + std::stol(m[3]);
      EXPECT_LE(km, chilometrica(p)) << r;
      EXPECT_GT(km, chilometrica(p) - 50) << r;
    } else if (testo == "(DEV. U.)") {
      ++n_deviatoio;
    } else {
      EXPECT_TRUE(std::regex_match(testo, luoghi)) << r;
      ++n_luoghi;
    }
  }
  EXPECT_EQ(n_sotto, 8);
  EXPECT_EQ(n_pla, 9);
  EXPECT_EQ(pla_dopo_sotto, 8);
  EXPECT_EQ(n_deviatoio, 1);
  EXPECT_EQ(n_luoghi, 4);
}

// Both texts: plain single-byte lines, only the blanks at the end that belong there.
TEST(TestiPortati, CaratteriLunghezzeEBianchiInFondo) {
  const struct {
    std::span<const std::string_view> righe;
    size_t piu_lunga;
  } testi[] = {{righe_sorgente_linea(), 68}, {righe_sorgente_corsa(), 94}};
  const std::set<std::string_view> con_bianco_in_fondo = {
      "pendenza,  101700,  0 ", "orologio,    6               11            30 "};
  const std::string fuori_ascii_ammessi = "\xB0\xE0\xE8\xF2\xF9";
  for (const auto& t : testi) {
    size_t piu_lunga = 0;
    for (std::string_view r : t.righe) {
      EXPECT_FALSE(r.empty());
      piu_lunga = std::max(piu_lunga, r.size());
      for (char c : r) {
        unsigned char b = static_cast<unsigned char>(c);
        bool ammesso = (b >= 0x20 && b < 0x7F && c != '"') ||
                       fuori_ascii_ammessi.find(c) != std::string::npos;
        EXPECT_TRUE(ammesso) << r;
      }
      if (!r.empty() && r.back() == ' ') {
        EXPECT_TRUE(con_bianco_in_fondo.count(r)) << r;
      }
    }
    EXPECT_EQ(piu_lunga, t.piu_lunga);
    EXPECT_EQ(t.righe.back(), "[fine]");
  }
}

}  // namespace
