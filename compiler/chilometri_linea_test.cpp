#include "compiler/chilometri_linea.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

using terna = std::array<int32_t, 3>;  // inizio, fine, progressiva as the table stores them

chilometri_linea da_terne(const terna& a, const terna& b, const terna& c) {
  std::array<voce_corsa, voci_tabella_corsa> t{};
  const terna* terne[] = {&a, &b, &c};
  for (int i = 0; i < 3; ++i) {
    voce_corsa& v = t[voce_tabella::primo_segmento + i];
    v.inizio = (*terne[i])[0];
    v.fine = (*terne[i])[1];
    v.progressiva = (*terne[i])[2];
  }
  return chilometri_linea(t);
}

// Positions along the run and the railway kilometre each reads, in metres.
TEST(ChilometriLinea, PosizioniEChilometri) {
  const struct {
    const char* caso;
    terna a, b, c;
    std::vector<std::pair<int64_t, int64_t>> punti;
  } casi[] = {
      {"the carried line, as progressive_ordina stores it",
       {54500, 118850, 1},
       {39100, 135250, 1},
       {0, 39150, 1},
       {{0, 39050},
        {39000, 50},
        {39050, 96100},  // the next line takes over one cell before its start
        {54400, 80750},
        {54450, 64300},
        {118650, 100},
        {124000, -5250}}},
      {"a growing line (any code but 1), stored as written",
       {0, 1000, 2},
       {},
       {},
       {{0, 1000}, {500, 1500}, {-50, 950}}},
      {"one segment given: the empty ones are left out",
       {10000, 20100, 1},
       {},
       {},
       {{0, 20000}, {9950, 10050}, {12000, 8000}}},
      {"two segments with one start: the lower entry is read",
       {0, 5000, 2},
       {0, 9100, 1},
       {},
       {{100, 5100}}},
      {"no segment at all: the distance from the start", {}, {}, {}, {{0, 0}, {123450, 123450}}},
      {"values at the ends of their fields",
       {0, 2147483647, 1},
       {},
       {},
       {{-2147483647, 4294967194}}},
  };
  for (const auto& c : casi) {
    const chilometri_linea k = da_terne(c.a, c.b, c.c);
    for (const auto& [m, km] : c.punti)
      EXPECT_EQ(k.chilometro(m), km) << c.caso << ", " << m << " m";
    // Each stretch starts where its kilometre reads as given.
    for (const tratto_chilometrico& t : k.tratti())
      EXPECT_EQ(k.chilometro(t.da_m), t.km_m) << c.caso;
  }
}

TEST(ChilometriLinea, SegmentiComeScritti) {
  const chilometri_linea k = da_terne({54500, 118850, 1}, {0, 0, 0}, {0, 39150, 2});
  const auto& s = k.segmenti();
  EXPECT_EQ(s[0].valore, 118750);
  EXPECT_EQ(s[0].memorizzato, 118850);
  EXPECT_TRUE(s[0].in_uso);
  EXPECT_FALSE(s[1].in_uso);
  EXPECT_EQ(s[2].valore, 39150);
  ASSERT_EQ(k.tratti().size(), 2u);
  EXPECT_EQ(k.tratti()[0].voce, voce_tabella::terzo_segmento);
  EXPECT_EQ(k.tratti()[1].voce, voce_tabella::primo_segmento);
}

}  // namespace
