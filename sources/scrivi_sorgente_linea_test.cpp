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

TEST(ScritturaSorgenteLinea, OgniRecordHaLaFormaDellaSuaSezione) {
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

TEST(ScritturaSorgenteLinea, SoloQuattroPendenzeEsconoDallaFormaComune) {
  const std::regex comune(R"(pendenza,  [1-9]\d*,   -?\d+)");
  std::set<std::string_view> diverse;
  for (std::string_view r : sezione(linea(), "[pendenze]"))
    if (!combacia(r, comune)) diverse.insert(r);
  const std::set<std::string_view> attese = {"pendenza,   0,    0", "pendenza,  100700,  -7",
                                             "pendenza,  101200,  -5", "pendenza,  101700,  0 "};
  EXPECT_EQ(diverse, attese);
}

TEST(ScritturaSorgenteLinea, CurvePerParolaChiave) {
  std::map<std::string, int> conteggi;
  for (std::string_view r : sezione(linea(), "[curve]")) ++conteggi[std::string(campi(r)[0])];
  const std::map<std::string, int> attesi = {
      {"curvad4", 21}, {"curvas4", 17}, {"curvas3", 10}, {"curvad3", 8}, {"curvas2", 7}, {"curvad5", 5},
      {"curvad2", 4},  {"curvas1", 2},  {"curvas5", 2},  {"curvad1", 1}, {"curvas6", 1}};
  EXPECT_EQ(conteggi, attesi);
}

TEST(ScritturaSorgenteLinea, ValoriNeiLoroIntervalli) {
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
    ASSERT_EQ(f.size(), 10u) << cartelli[i];
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

TEST(ScritturaSorgenteLinea, CartelliDiTesto) {
  const std::string sotto = "(______)(______)(______)";
  const std::regex pla(R"(\(P\.L\.A\.    \)\((km|KM)\. (\d\d)\+(\d\d\d)\))");
  const std::regex luoghi(R"(\(.{15}\)|\(.{11}\)\(.{11}\)|\(.{8}\)\(.{8}\))");
  std::set<long> posizioni_sotto;
  int n_sotto = 0, n_pla = 0, pla_dopo_sotto = 0, n_deviatoio = 0, n_luoghi = 0;
  for (std::string_view r : sezione(linea(), "[indicazioni]")) {
    long p = numero_campo(r, 1);
    const std::string testo(campi(r).at(2).substr(3));
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

}  // namespace
