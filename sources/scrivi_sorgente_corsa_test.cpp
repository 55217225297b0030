#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "sources/scenario_portato.h"
#include "testing/righe_sorgente.h"

namespace {

std::span<const std::string_view> corsa() { return righe_sorgente_corsa(); }

TEST(ScritturaSorgenteCorsa, SezioneGenerale) {
  const std::regex forma(R"([a-z ]+,    \d+)");
  auto generale = sezione(corsa(), "[generale]");
  for (size_t i = 0; i + 1 < generale.size(); ++i)
    EXPECT_TRUE(std::regex_match(generale[i].begin(), generale[i].end(), forma)) << generale[i];
  // The clock's three numbers are parted by blanks alone.
  const std::regex orologio(R"(orologio,    \d+ {15}\d+ {12}\d+ )");
  EXPECT_TRUE(std::regex_match(generale.back().begin(), generale.back().end(), orologio));
}

// Column-aligned sections: after the keyword every value fills a field of its
// own width; stations and signals end with one blank and an unpadded value.
TEST(ScritturaSorgenteCorsa, CampiAllineatiInColonna) {
  const struct {
    std::string_view intestazione;
    std::string_view parola;
    std::vector<size_t> larghezze;
    bool coda;
  } colonne[] = {
      {"[aderenze]", "aderenza", {8, 6}, false},
      {"[vel_limite]", "velocita", {8, 6}, false},
      {"[stazioni]", "stazione", {8, 3, 5, 3, 2, 2, 3, 1, 1, 3, 1, 1, 5, 4, 2, 2}, true},
      {"[segnali]", "segnale", {8, 4, 2, 2, 3, 2, 5, 3, 1, 1}, true},
      {"[codici]", "abbattimento", {8, 6}, false},
  };
  const std::regex numero_allineato(R"( *-?\d+)");
  for (const auto& c : colonne) {
    for (std::string_view r : sezione(corsa(), c.intestazione)) {
      if (r == "aderenza,   0,    100") continue;  // the one row out of column
      auto f = campi(r);
      ASSERT_EQ(f.size(), 1 + c.larghezze.size() + (c.coda ? 1 : 0)) << r;
      EXPECT_EQ(f[0], c.parola);
      for (size_t i = 0; i < c.larghezze.size(); ++i) {
        std::string_view v = f[i + 1];
        // The code value "AC" stands in 5 characters, the numbers in 6.
        if (c.parola == "abbattimento" && i == 1 && v == "   AC") continue;
        EXPECT_EQ(v.size(), c.larghezze[i]) << r;
        EXPECT_TRUE(std::regex_match(v.begin(), v.end(), numero_allineato)) << r;
      }
      if (c.coda) {
        std::string_view ultimo = f.back();
        ASSERT_GE(ultimo.size(), 2u) << r;
        EXPECT_EQ(ultimo[0], ' ') << r;
        EXPECT_NE(ultimo[1], ' ') << r;
      }
    }
  }
}

TEST(ScritturaSorgenteCorsa, AderenzeVelocitaECodici) {
  for (std::string_view r : sezione(corsa(), "[aderenze]")) {
    long a = numero_campo(r, 2);
    EXPECT_TRUE(a >= 78 && a <= 100) << r;
  }
  const std::set<long> limiti = {30, 65, 70, 80, 85, 90, 95, 100, 105, 160};
  std::set<long> usati;
  for (std::string_view r : sezione(corsa(), "[vel_limite]")) usati.insert(numero_campo(r, 2));
  EXPECT_EQ(usati, limiti);

  std::map<std::string, int> codici;
  for (std::string_view r : sezione(corsa(), "[codici]")) {
    std::string v(campi(r)[2]);
    v.erase(0, v.find_first_not_of(' '));
    ++codici[v];
  }
  const std::map<std::string, int> attesi = {{"180", 2}, {"270", 29}, {"AC", 6}};
  EXPECT_EQ(codici, attesi);
}

TEST(ScritturaSorgenteCorsa, Stazioni) {
  // Allowed values of fields 2 to 16; the length and the minute are ranges.
  const std::vector<std::set<long>> insiemi = {
      {4, 6, 12, 22, 24, 26, 27}, {}, {0, 1}, {0}, {0, 1}, {0, 1, 4}, {0, 1}, {0, 1, 2},
      {0, 2, 4}, {0, 1, 4}, {0, 1}, {0, 1, 30, 60, 255}, {0, 6, 7}, {}, {0, 30}};
  auto stazioni = sezione(corsa(), "[stazioni]");
  int segnate_byte1 = 0;
  long orario_precedente = 0;
  for (std::string_view r : stazioni) {
    auto f = campi(r);
    ASSERT_EQ(f.size(), 18u) << r;
    for (size_t i = 0; i < insiemi.size(); ++i) {
      long v = numero_campo(r, i + 2);
      if (!insiemi[i].empty()) {
        EXPECT_TRUE(insiemi[i].count(v)) << "campo " << i + 2 << ": " << r;
      }
    }
    long lunghezza = numero_campo(r, 3), minuto = numero_campo(r, 15);
    EXPECT_TRUE(lunghezza >= 200 && lunghezza <= 700 && lunghezza % 100 == 0) << r;
    EXPECT_TRUE(minuto >= 0 && minuto <= 48) << r;
    segnate_byte1 += numero_campo(r, 4);

    // Timetabled stations follow one another in time; hour 0 means no time.
    long ora = numero_campo(r, 14);
    long orario = (ora * 60 + minuto) * 60 + numero_campo(r, 16);
    if (ora != 0) {
      EXPECT_GT(orario, orario_precedente) << r;
      orario_precedente = orario;
    }
    std::string_view nome = f.back().substr(1);
    EXPECT_TRUE(nome.size() >= 4 && nome.size() <= 22) << r;
  }
  EXPECT_EQ(segnate_byte1, 4);
  // The train sheet prints the two ends in 14 characters.
  EXPECT_LE(campi(stazioni.front()).back().size() - 1, 14u);
  EXPECT_LE(campi(stazioni.back()).back().size() - 1, 14u);
}

TEST(ScritturaSorgenteCorsa, Segnali) {
  std::vector<long> tempi;
  for (std::string_view r : sezione(corsa(), "[segnali]")) {
    long sx = numero_campo(r, 2), dx = numero_campo(r, 7);
    EXPECT_TRUE(sx == 1 || sx == 2) << r;
    EXPECT_TRUE(dx >= 0 && dx <= 2) << r;
    for (size_t i = 3; i <= 10; ++i) {
      long v = numero_campo(r, i);
      EXPECT_TRUE(v >= 0 && v <= 7) << r;
    }
    if (long t = numero_campo(r, 11); t != 0) tempi.push_back(t);
  }
  EXPECT_EQ(tempi, (std::vector<long>{225, 210}));
}

}  // namespace
