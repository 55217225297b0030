// The slowdown order form: its ruled table of blank rows and its legend.
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "sources/scenario_portato.h"
#include "testing/righe_sorgente.h"

namespace {

std::string_view rigo(size_t n) { return righe_rallentamenti()[n - 1]; }  // counted from 1

TEST(OrdineRallentamento, TabellaRigataDiRigheBianche) {
  ASSERT_EQ(righe_rallentamenti().size(), 46u);
  const std::vector<size_t> regole = {1, 5, 34, 47, 58, 68, 81};
  for (size_t n = 9; n <= 39; ++n) {
    std::string_view r = rigo(n);
    ASSERT_EQ(r.size(), 82u) << "line " << n;
    std::vector<size_t> trovate;
    for (size_t i = 0; i < r.size(); ++i)
      if (r[i] == '|') trovate.push_back(i);
    EXPECT_EQ(trovate, regole) << "line " << n;
    if (n < 12) continue;
    // The heading's bottom rule, 26 rows left to be filled in, the same rule.
    char riempi = (n == 12 || n == 39) ? '_' : ' ';
    for (size_t i = 2; i < 81; ++i)
      if (r[i] != '|') {
        EXPECT_EQ(r[i], riempi) << "line " << n << " column " << i;
      }
  }
  EXPECT_EQ(rigo(4), " " + std::string(80, '_'));
  EXPECT_EQ(rigo(8), "  " + std::string(79, '_'));
  for (size_t n : {1, 6, 40}) EXPECT_EQ(rigo(n), "") << "line " << n;

  // The rows stay blank because the run carries no slowdown.
  EXPECT_TRUE(sezione(righe_sorgente_corsa(), "[rallentamenti]").empty());
}

TEST(OrdineRallentamento, LineaTrenoELegenda) {
  const std::string linea(rigo(5));
  EXPECT_TRUE(std::regex_match(linea, std::regex("  Linea  [A-Z][a-z]+( - [A-Z][a-z]+){2}")))
      << linea;
  EXPECT_NE(rigo(7).find(" treno 5817 "), std::string_view::npos);

  // The legend keeps the printed form's order, A B D C, and its wording.
  const char* lettere[] = {" A - ", " B - ", " D - ", " C - "};
  for (size_t i = 0; i < 4; ++i) EXPECT_TRUE(rigo(42 + i).starts_with(lettere[i])) << rigo(42 + i);
  EXPECT_NE(rigo(44).find("Rallentamneto"), std::string_view::npos);
  EXPECT_TRUE(rigo(46).starts_with("     i giorni"));
}

}  // namespace
