// A guard on the carried data: every object that lands in a track cell needs a
// cell of its own, or the compiler stops on the row. The cells are recomputed
// here from the carried rows with the placement rules, so a row moved by hand
// is checked before the compiler ever sees it.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "compiler/numeri.h"
#include "sources/scenario_portato.h"
#include "testing/righe_sorgente.h"

namespace {

struct area {
  long inizio, fine;
  long fermata;  // stop cell, -1 for kinds that leave none
};

// The area of a station row and its stop cell. The first station's field 6
// still moves the far end: the reader clears it only after using it.
area area_stazione(std::string_view riga) {
  long p = numero_campo(riga, 1), tipo = numero_campo(riga, 2);
  long lunghezza = numero_campo(riga, 3), allunga = numero_campo(riga, 6);
  area a{};
  if (tipo == 5 || tipo == 6) {
    a = {p - lunghezza, p + 150, 0};
  } else if (tipo == 7 || tipo == 8) {
    a = {p - lunghezza, p + lunghezza, 0};
  } else {
    a = {p - lunghezza / 2, p + lunghezza / 2 + (allunga != 0 ? 50 : 0), 0};
  }
  a.fermata = tipo < 25 ? a.fine / 50 - 1 : -1;
  return a;
}

long ultima_cella() {
  for (std::string_view r : sezione(righe_sorgente_linea(), "[generale]"))
    if (r.find("lunghezza percorso") != std::string_view::npos)
      return static_cast<long>(arrotonda((numero_campo(r, 1) + 7000) / 50.0));
  return 0;
}

struct occupante {
  long cella;
  std::string_view riga;
};

std::vector<occupante> oggetti_nelle_celle() {
  std::vector<occupante> out;
  // Boards of the line source and signals take the cell after their position,
  // code points their own cell.
  const struct {
    std::span<const std::string_view> righe;
    std::string_view intestazione;
    int scarto;
  } puntuali[] = {{righe_sorgente_linea(), "[cartelli]", 1},
                  {righe_sorgente_linea(), "[indicazioni]", 1},
                  {righe_sorgente_corsa(), "[segnali]", 1},
                  {righe_sorgente_corsa(), "[codici]", 0}};
  for (const auto& s : puntuali)
    for (std::string_view r : sezione(s.righe, s.intestazione))
      out.push_back({static_cast<long>(indice_cella(numero_campo(r, 1), s.scarto)), r});
  for (std::string_view r : sezione(righe_sorgente_corsa(), "[stazioni]"))
    if (long c = area_stazione(r).fermata; c >= 0) out.push_back({c, r});
  return out;
}

TEST(CelleOccupate, LaRegolaDelleFermateSuiCasiNoti) {
  const struct {
    std::string_view riga;
    area attesa;
  } casi[] = {
      {"stazione,       0, 12,  500,  0, 0, 1,  1,1,0,  4,1,1,    1,   6,12, 0, A", {-250, 300, 5}},
      {"stazione,   12400, 24,  300,  0, 0, 0,  0,0,0,  4,1,1,   30,   6,23, 0, B", {12250, 12550, 250}},
      {"stazione,  118650,  6,  500,  1, 0, 0,  1,1,0,  2,1,1,    1,   7,46, 0, C", {118150, 118800, 2375}},
      {"stazione,   50000, 26,  400,  0, 0, 0,  0,0,0,  0,0,0,    0,   0, 0, 0, D", {49800, 50200, -1}},
  };
  for (const auto& c : casi) {
    area a = area_stazione(c.riga);
    EXPECT_EQ(a.inizio, c.attesa.inizio) << c.riga;
    EXPECT_EQ(a.fine, c.attesa.fine) << c.riga;
    EXPECT_EQ(a.fermata, c.attesa.fermata) << c.riga;
  }
}

TEST(CelleOccupate, OgniOggettoHaLaSuaCella) {
  const long n = ultima_cella();
  ASSERT_EQ(n, 2620);
  std::map<long, std::string_view> occupate;
  for (const occupante& o : oggetti_nelle_celle()) {
    // Cell 1 carries the track file's header codes.
    EXPECT_GT(o.cella, 1) << o.riga;
    EXPECT_LE(o.cella, n) << o.riga;
    auto [dove, nuova] = occupate.emplace(o.cella, o.riga);
    EXPECT_TRUE(nuova) << "cella " << o.cella << ": \"" << dove->second << "\" e \"" << o.riga << "\"";
  }
  EXPECT_EQ(occupate.size(), 17u + 22u + 49u + 37u + 9u);
}

TEST(CelleOccupate, StazioniDistanziateEDentroIlTracciato) {
  const long n = ultima_cella();
  auto stazioni = sezione(righe_sorgente_corsa(), "[stazioni]");
  long fine_precedente = 0;
  for (size_t k = 0; k < stazioni.size(); ++k) {
    area a = area_stazione(stazioni[k]);
    EXPECT_LE(numero_campo(stazioni[k], 1), 50 * n - 800) << stazioni[k];
    if (k > 0) {
      EXPECT_GE(a.inizio - 350, fine_precedente) << stazioni[k];
    }
    fine_precedente = a.fine;
  }
  // Stations fill table entries upwards, board texts downwards from 80.
  long cartelli = static_cast<long>(sezione(righe_sorgente_linea(), "[indicazioni]").size());
  EXPECT_LT(static_cast<long>(stazioni.size()) + 1, 80 - cartelli);
}

TEST(CelleOccupate, OgniPosizioneSuperaIlControlloDelLettore) {
  const long limite = 50 * ultima_cella() - 100;
  const struct {
    std::span<const std::string_view> righe;
    std::string_view intestazione;
  } sezioni[] = {{righe_sorgente_linea(), "[curve]"},      {righe_sorgente_linea(), "[pendenze]"},
                 {righe_sorgente_linea(), "[montagne]"},   {righe_sorgente_linea(), "[cartelli]"},
                 {righe_sorgente_linea(), "[indicazioni]"}, {righe_sorgente_corsa(), "[aderenze]"},
                 {righe_sorgente_corsa(), "[vel_limite]"}, {righe_sorgente_corsa(), "[segnali]"},
                 {righe_sorgente_corsa(), "[codici]"}};
  for (const auto& s : sezioni)
    for (std::string_view r : sezione(s.righe, s.intestazione))
      EXPECT_LE(numero_campo(r, 1), limite) << r;
}

}  // namespace
