// The author's notes: banner, headings and paragraphs on their lines, prose
// wrapped by hand, and names that agree with the other documents and the run.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "sources/scenario_portato.h"
#include "testing/righe_sorgente.h"

namespace {

std::string_view rigo(size_t n) { return righe_note()[n - 1]; }  // counted from 1

std::string maiuscolo(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

bool combacia(std::string_view s, const char* forma, std::cmatch* m = nullptr) {
  std::cmatch scarto;
  return std::regex_match(s.begin(), s.end(), m ? *m : scarto, std::regex(forma));
}

struct paragrafo {
  size_t da, a;  // first and last line
};
const paragrafo paragrafi[] = {{8, 16}, {19, 25}, {28, 33}, {37, 70}, {76, 78}};

std::vector<std::string> nomi_stazioni() {
  std::vector<std::string> out;
  for (std::string_view r : sezione(righe_sorgente_corsa(), "[stazioni]")) {
    std::string_view nome = campi(r).back();
    out.emplace_back(nome.substr(nome.find_first_not_of(' ')));
  }
  return out;
}

TEST(Note, CorniceETitoli) {
  ASSERT_EQ(righe_note().size(), 78u);
  EXPECT_EQ(rigo(1), std::string(96, '*'));
  EXPECT_EQ(rigo(4), std::string(96, '*'));
  for (size_t n : {2, 3}) {
    ASSERT_EQ(rigo(n).size(), 62u) << "line " << n;
    EXPECT_EQ(rigo(n).substr(0, 31), std::string(30, ' ') + "|");
    EXPECT_EQ(rigo(n).back(), '|');
  }
  // The line's name, the same as on the slowdown order, in capitals.
  std::string_view su_modulo = righe_rallentamenti()[4];
  ASSERT_TRUE(su_modulo.starts_with("  Linea  "));
  std::string campo = "  LINEA " + maiuscolo(std::string(su_modulo.substr(9)));
  ASSERT_LE(campo.size(), 30u);
  EXPECT_EQ(rigo(2).substr(31, 30), campo + std::string(30 - campo.size(), ' '));
  EXPECT_NE(rigo(3).find("DIRETTO 5817"), std::string_view::npos);

  std::set<size_t> vuote = {5, 7, 17, 26, 34, 36, 71, 75};
  for (size_t n = 1; n <= 78; ++n) EXPECT_EQ(rigo(n).empty(), vuote.count(n) == 1) << "line " << n;
  EXPECT_EQ(rigo(6), "LINEA :");
  EXPECT_TRUE(combacia(rigo(18), "TRATTO [A-Z]+-[A-Z]+-[A-Z]+")) << rigo(18);
  EXPECT_TRUE(combacia(rigo(27), "TRATTO [A-Z]+-[A-Z]+ VIA [A-Z]+")) << rigo(27);

  // The train's ends are the run's departure and arrival.
  std::cmatch m;
  ASSERT_TRUE(combacia(rigo(35), "TRENO SIMULATO: DIRETTO 5817 ([A-Z]+)-([A-Z]+)", &m)) << rigo(35);
  const auto stazioni = nomi_stazioni();
  ASSERT_FALSE(stazioni.empty());
  EXPECT_TRUE(maiuscolo(stazioni.front()).starts_with(m[1].str()));
  EXPECT_TRUE(maiuscolo(stazioni.back()).starts_with(m[2].str()));
}

TEST(Note, ProsaAcapoAManoConLaSillabazione) {
  for (const auto& p : paragrafi) {
    for (size_t n = p.da; n <= p.a; ++n) {
      std::string_view r = rigo(n);
      SCOPED_TRACE("line " + std::to_string(n));
      ASSERT_FALSE(r.empty());
      EXPECT_LE(r.size(), 100u);
      EXPECT_NE(r.front(), ' ');
      EXPECT_NE(r.back(), ' ');
      // A word split over two lines: "-" at the end of one, "-" at the start of the next.
      bool spezza = r.back() == '-';
      EXPECT_TRUE(!spezza || n < p.a);
      if (n < p.a) {
        EXPECT_EQ(spezza, rigo(n + 1).front() == '-');
      }
      if (n == p.da) {
        EXPECT_NE(r.front(), '-');
      }
    }
  }
}

TEST(Note, Firma) {
  EXPECT_TRUE(combacia(rigo(72), "[A-Z]+( [A-Z]+)+")) << rigo(72);
  const char* posta = R"([a-z0-9._]+@[a-z0-9-]+(\.[a-z0-9-]+)+)";
  EXPECT_TRUE(combacia(rigo(73), posta)) << rigo(73);
  EXPECT_TRUE(combacia(rigo(74), posta)) << rigo(74);
  EXPECT_NE(rigo(73), rigo(74));
}

// The notes tell the run the sheet shows: every station of the run is named.
TEST(Note, NominanoLeStazioniDellaCorsa) {
  std::string testo;
  for (const auto& p : paragrafi) {
    for (size_t n = p.da; n <= p.a; ++n) {
      std::string_view r = rigo(n);
      if (!testo.empty() && testo.back() == '-' && r.front() == '-') {
        testo.pop_back();
        r.remove_prefix(1);
      } else if (!testo.empty()) {
        testo += ' ';
      }
      testo += r;
    }
    testo += '\n';
  }
  const std::string tutto = maiuscolo(testo);
  for (const std::string& nome : nomi_stazioni())
    EXPECT_NE(tutto.find(maiuscolo(nome)), std::string::npos) << nome;
}

}  // namespace
