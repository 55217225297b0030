// What both carried texts share: sections on fixed lines, positions in order,
// plain single-byte lines.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "sources/scenario_portato.h"
#include "testing/righe_sorgente.h"

namespace {

TEST(TestiPortati, SezioniAlLoroRigoConRecordInOrdineDiPosizione) {
  const auto linea = righe_sorgente_linea();
  const auto corsa = righe_sorgente_corsa();
  ASSERT_EQ(linea.size(), 214u);
  ASSERT_EQ(corsa.size(), 139u);
  const struct {
    std::span<const std::string_view> righe;
    std::string_view intestazione;
    size_t rigo, record;
    long prima, ultima;  // positions of the first and last record; -1: no positions
  } sezioni[] = {
      {linea, "[generale]", 1, 8, -1, -1},        {linea, "[curve]", 10, 78, 500, 117700},
      {linea, "[pendenze]", 89, 62, 0, 117900},   {linea, "[montagne]", 152, 20, 6950, 112700},
      {linea, "[cartelli]", 173, 17, 500, 115500}, {linea, "[indicazioni]", 191, 22, 3000, 55000},
      {linea, "[fine]", 214, 0, -1, -1},          {corsa, "[generale]", 1, 4, -1, -1},
      {corsa, "[aderenze]", 6, 9, 0, 75750},      {corsa, "[vel_limite]", 16, 16, 0, 117050},
      {corsa, "[stazioni]", 33, 16, 0, 118650},   {corsa, "[rallentamenti]", 50, 0, -1, -1},
      {corsa, "[segnali]", 51, 49, 10000, 117050}, {corsa, "[codici]", 101, 37, 46350, 112550},
      {corsa, "[fine]", 139, 0, -1, -1},
  };
  for (const auto& s : sezioni) {
    EXPECT_EQ(s.righe[s.rigo - 1], s.intestazione);
    auto record = sezione(s.righe, s.intestazione);
    ASSERT_EQ(record.size(), s.record) << s.intestazione;
    if (s.prima < 0) continue;
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
  }
}

}  // namespace
