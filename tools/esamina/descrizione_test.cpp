#include "tools/esamina/descrizione.h"

#include <gtest/gtest.h>

#include "tools/esamina/rapporto.h"

namespace {

scenario_letto con_celle(std::vector<cella> celle) {
  scenario_letto s;
  s.celle = std::move(celle);
  return s;
}

// Each kind decoded back to the values its storer was given.
TEST(DescrizioneCelle, ValoriDecodificatiEFrasi) {
  struct caso {
    cella c;
    const char* frase;
  };
  const caso casi[] = {
      {{.tipo = 1, .dato1 = 42, .dato2 = 11, .dato3 = 11, .dato4 = 8, .dato5 = 225},
       "segnale: sx 2, aspetti 4 1 1; dx 2, aspetti 2 1 1; rapp 0; tempo 225"},
      {{.tipo = 1, .dato1 = 23, .dato2 = 30, .dato3 = 0, .dato4 = 36, .dato6 = 81},
       "segnale: sx 2, aspetti 2 3 0; dx 0, aspetti 3 0 0; rapp 3; tempo 0; marca di avvicinamento "
       "81"},
      // Negative Integers read as the decompiled source writes them.
      {{.tipo = 1, .dato1 = -5, .dato2 = 11, .dato3 = 11, .dato4 = -2},
       "segnale: sx 2, aspetti -1 1 1; dx 2, aspetti 5 1 1; rapp -1; tempo 0"},
      {{.tipo = 6, .dato1 = 1300, .dato2 = 1400, .dato3 = 1600},
       "indicatore di velocità massima: lato s 65/70/80 km/h, strisce 0; lato d vuoto, strisce 0"},
      {{.tipo = 6, .dato1 = 5050, .dato2 = 3232, .dato3 = 2828, .dato4 = 20},
       "indicatore di velocità massima: lato s 250/160/140 km/h, strisce 2; lato d 250/160/140 "
       "km/h, strisce 0"},
      {{.tipo = 6, .dato1 = -150, .dato4 = 34},
       "indicatore di velocità massima: lato s -10/0/0 km/h, strisce 3; lato d 250/0/0 km/h, "
       "strisce 4"},
      {{.tipo = 3, .dato1 = 60, .dato2 = 7, .dato3 = 1},
       "inizio rallentamento: 60 km/h, d_v 7, f_tt 1"},
      {{.tipo = 2, .dato1 = 60, .dato3 = 1}, "fine rallentamento: 60 km/h, d_v 0, f_tt 1"},
      {{.tipo = 4, .dato1 = 30}, "avviso di rallentamento: 30 km/h, d_v 0"},
      {{.tipo = 5, .dato1 = 3}, "segno prima dell'avviso n. 3"},
      {{.tipo = 12, .dato1 = 270}, "punto codice 270"},
      {{.tipo = 13, .dato1 = 270}, "punto senza codice"},
      {{.tipo = 11}, "marca di montagna"},
      {{.tipo = 0, .dato6 = 84}, "libera; marca di avvicinamento 84"},
      {{.tipo = 9, .dato1 = 5}, "tipo 9 sconosciuto: dato1 5 dato2 0 dato3 0 dato4 0 dato5 0"},
  };
  for (const caso& k : casi) {
    const descrizione d = descrivi(con_celle({cella{}, cella{}, k.c}));
    ASSERT_EQ(d.oggetti.size(), 1u) << k.frase;
    EXPECT_EQ(frase_oggetto(d.oggetti[0], ""), k.frase);
  }
}

TEST(DescrizioneCelle, ProfiliATratti) {
  std::vector<cella> celle(8);
  const uint8_t velocita[] = {13, 13, 19, 19, 19, 13, 0, 0};
  const uint8_t montagna[] = {0, 2, 2, 0, 0, 3, 3, 0};
  for (size_t i = 0; i < 8; ++i) {
    celle[i].velocita = velocita[i];
    celle[i].montagna = montagna[i];
    celle[i].pendenza = i < 4 ? 65 : 129;
  }
  const profili p = descrivi(con_celle(celle)).profilo;
  const auto come = [](const std::vector<tratto>& t) {
    std::vector<std::tuple<size_t, size_t, int>> r;
    for (const tratto& x : t) r.emplace_back(x.prima, x.ultima, x.valore);
    return r;
  };
  using v = std::vector<std::tuple<size_t, size_t, int>>;
  EXPECT_EQ(come(p.velocita), (v{{0, 1, 65}, {2, 4, 95}, {5, 5, 65}, {6, 7, 0}}));
  EXPECT_EQ(come(p.pendenza), (v{{0, 3, -35}, {4, 7, 29}}));
  EXPECT_EQ(come(p.montagna), (v{{1, 2, 2}, {5, 6, 3}}));
}

// An entry is a board text when a board cell names it, a station otherwise.
TEST(DescrizioneTabella, StazioniECartelli) {
  scenario_letto s = con_celle(std::vector<cella>(10));
  s.voci_lette = 87;
  s.tabella[1].tipo = 12;
  s.tabella[1].nome = "Val d'Ombra";
  s.tabella[2].tipo = 26;
  s.tabella[2].nome = "S. PIETRO\xB0";
  s.tabella[voce_tabella::primo_cartello].nome = "(______)";
  s.tabella[79].nome = "(KM. 3+400)";
  s.celle[5] = {.tipo = tipo_cella::fermata, .dato1 = 1};
  s.celle[7] = {.tipo = tipo_cella::cartello, .dato1 = 80};
  s.celle[8] = {.tipo = tipo_cella::cartello, .dato1 = 79};
  const descrizione d = descrivi(s);
  ASSERT_EQ(d.stazioni.size(), 2u);
  EXPECT_EQ(d.stazioni[0].nome, "Val d'Ombra");
  EXPECT_EQ(d.stazioni[0].celle_fermata, std::vector<size_t>{5});
  EXPECT_EQ(d.stazioni[1].nome, "S. PIETRO\u00B0");
  EXPECT_TRUE(d.stazioni[1].celle_fermata.empty());
  ASSERT_EQ(d.cartelli.size(), 2u);
  EXPECT_EQ(d.cartelli[0].voce, 80);
  EXPECT_EQ(d.cartelli[1].testo, "(KM. 3+400)");
  EXPECT_EQ(d.cartelli[1].celle, std::vector<size_t>{8});
  EXPECT_EQ(d.oggetti[1].testo, "(______)");
}

}  // namespace
