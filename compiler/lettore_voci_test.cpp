#include "compiler/lettore_voci.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cstdint>
#include <string_view>
#include <vector>

namespace {

// Reads the whole text as a pattern of kinds: 't' text, 'n' number.
std::vector<std::string> leggi(const std::string& dati, const std::string& tipi) {
  lettore_voci in(dati);
  std::vector<std::string> voci;
  for (char t : tipi) {
    if (t == 't')
      voci.emplace_back(in.testo());
    else
      voci.push_back(std::to_string(in.numero()));
  }
  return voci;
}

std::string n(double v) { return std::to_string(v); }

TEST(LettoreVoci, SeparatoriSpaziEFineRiga) {
  struct caso {
    const char* nome;
    std::string dati;
    std::string tipi;
    std::vector<std::string> attese;
  };
  const caso casi[] = {
      {"riga di pendenza", "pendenza,  500,   3\r\n", "tnn", {"pendenza", n(500), n(3)}},
      {"spazi in coda alla riga",
       "pendenza,  101700,  0 \r\n[fine]\r\n",
       "tnnt",
       {"pendenza", n(101700), n(0), "[fine]"}},
      {"numeri separati da spazi",
       "orologio,    6               11            30 \r\nx\r\n",
       "tnnnt",
       {"orologio", n(6), n(11), n(30), "x"}},
      {"voci numeriche vuote",
       "indicatori_vmax,  500,  65,  ,  ,  0\r\n",
       "tnnnnn",
       {"indicatori_vmax", n(500), n(65), n(0), n(0), n(0)}},
      {"testo non numerico",
       "abbattimento,   54800,   AC\r\n",
       "tnn",
       {"abbattimento", n(54800), n(0)}},
      {"numero negativo", "pendenza,  29850,   -35\r\n", "tnn", {"pendenza", n(29850), n(-35)}},
      {"testo di cartello fino a fine riga",
       "cartello_indicatore,  3050,   (P.L.A.    )(km. 35+997)\r\n",
       "tnt",
       {"cartello_indicatore", n(3050), "(P.L.A.    )(km. 35+997)"}},
      {"testo tra virgolette", "\"a, b\"  ,c\r\n", "tt", {"a, b", "c"}},
      {"nome con spazi e grado", "0, NOVA 1\xB0 BIVIO  \r\n", "nt", {n(0), "NOVA 1\xB0 BIVIO"}},
      {"solo LF e solo CR", "a\nb\rc", "ttt", {"a", "b", "c"}},
      {"riga vuota", "a\r\n\r\nb\r\n", "ttt", {"a", "", "b"}},
      {"frazione", "1.5, 2.5", "nn", {n(1.5), n(2.5)}},
      {"segno piu e cifre fuori posto", "+7, 12abc, 1e5, -", "nnnn", {n(7), n(0), n(0), n(0)}},
  };
  for (const caso& c : casi) EXPECT_EQ(leggi(c.dati, c.tipi), c.attese) << c.nome;
}

// Whole numbers take a short way to their value; it must give, bit for bit,
// what the general conversion gives, sign of zero included, up to the
// longest digit strings and past them.
TEST(LettoreVoci, NumeriInteriComeLaConversioneGenerale) {
  const char* const voci[] = {"0",
                              "-0",
                              "+0",
                              "007",
                              "-35",
                              "+2147483647",
                              "-2147483648",
                              "999999999999999",
                              "-999999999999999",
                              "9007199254740993",
                              "12345678901234567890123",
                              "0000000000000000000001",
                              "1.",
                              "-0.0",
                              "3.25"};
  for (const char* v : voci) {
    lettore_voci in(v);
    const double letto = in.numero();
    const std::string_view s(v);
    double atteso = 0;
    std::from_chars(s.data() + (s[0] == '+' ? 1 : 0), s.data() + s.size(), atteso);
    EXPECT_EQ(std::bit_cast<uint64_t>(letto), std::bit_cast<uint64_t>(atteso)) << v;
  }
}

TEST(LettoreVoci, FineDelFileDopoLUltimaVoce) {
  lettore_voci in("[curve]\r\n[fine]\r\n");
  EXPECT_EQ(in.testo(), "[curve]");
  EXPECT_FALSE(in.fine());
  EXPECT_EQ(in.testo(), "[fine]");
  EXPECT_TRUE(in.fine());
  EXPECT_THROW(in.testo(), errore_lettura);
  EXPECT_THROW(in.numero(), errore_lettura);
}

TEST(LettoreVoci, UnaRigaSenzaIlSuoUltimoValoreEUnErroreDiLettura) {
  lettore_voci in("pendenza,  500");
  EXPECT_EQ(in.testo(), "pendenza");
  EXPECT_EQ(in.i32(), 500);
  EXPECT_THROW(in.i32(), errore_lettura);
}

TEST(LettoreVoci, LimitiDeiCampi) {
  struct caso {
    const char* testo;
    char campo;  // 'L' Long, 'I' Integer, 'B' Byte
    bool accettato;
    int64_t valore;
  };
  const caso casi[] = {
      {"2147483647", 'L', true, 2147483647},
      {"2147483648", 'L', false, 0},
      {"-2147483648", 'L', true, -2147483648LL},
      {"-2147483649", 'L', false, 0},
      {"99999999999999999999999", 'L', false, 0},
      {"2147483647.5", 'L', false, 0},
      {"32767", 'I', true, 32767},
      {"32768", 'I', false, 0},
      {"-32768", 'I', true, -32768},
      {"255", 'B', true, 255},
      {"256", 'B', false, 0},
      {"-1", 'B', false, 0},
      {"2.5", 'L', true, 2},
      {"3.5", 'L', true, 4},
      {"AC", 'B', true, 0},
  };
  for (const caso& c : casi) {
    lettore_voci in(std::string(c.testo) + "\r\n");
    auto leggi_campo = [&]() -> int64_t {
      switch (c.campo) {
        case 'L':
          return in.i32();
        case 'I':
          return in.i16();
        default:
          return in.u8();
      }
    };
    if (c.accettato)
      EXPECT_EQ(leggi_campo(), c.valore) << c.testo << " " << c.campo;
    else
      EXPECT_THROW(leggi_campo(), errore_lettura) << c.testo << " " << c.campo;
  }
}

// Messages point at an item by line and column, as editors count them.
TEST(LettoreVoci, RigaEColonnaDiOgniVoce) {
  lettore_voci in("[generale]\r\nlunghezza percorso,    124000\r\n\r\n\"due\nrighe\", x\r\ny");
  const struct {
    bool numero;
    int32_t riga, colonna;
    bool a_inizio_riga;
  } voci[] = {{false, 1, 1, true}, {false, 2, 1, true},  {true, 2, 24, false}, {false, 3, 1, true},
              {false, 4, 1, true}, {false, 5, 9, false}, {false, 6, 1, true}};
  for (const auto& v : voci) {
    if (v.numero)
      in.numero();
    else
      in.testo();
    EXPECT_EQ(in.riga_voce(), v.riga);
    EXPECT_EQ(in.colonna_voce(), v.colonna) << "line " << v.riga;
    EXPECT_EQ(in.a_inizio_riga(), v.a_inizio_riga) << "line " << v.riga;
  }
  // Past the end the place stays on the last item.
  EXPECT_THROW(in.numero(), errore_lettura);
  EXPECT_EQ(in.riga_voce(), 6);
  EXPECT_EQ(in.colonna_voce(), 1);
}

// Only an item that reads as 0 without being a number is handed on.
TEST(LettoreVoci, NumeriCheValgonoZeroSenzaEsserlo) {
  lettore_voci in("0, -0, 0.0, , 50O, AC, 7, 1e3\r\n");
  std::vector<std::string> segnalate;
  in.letto_come_zero = [&](std::string_view v) { segnalate.emplace_back(v); };
  for (int i = 0; i < 8; ++i) in.numero();
  EXPECT_EQ(segnalate, (std::vector<std::string>{"", "50O", "AC", "1e3"}));
}

TEST(LettoreVoci, ParoleChiaveComeSottostringhe) {
  EXPECT_TRUE(contiene_ic("LUNGHEZZA PERCORSO", "percorso"));
  EXPECT_TRUE(contiene_ic("xxVelocitaYY", "velocit"));
  EXPECT_FALSE(contiene_ic("[aderenze]", "aderenza"));
  EXPECT_FALSE(contiene_ic("[stazioni]", "stazione"));
  EXPECT_TRUE(contiene("progressiva chilometrica uno", "uno"));
  EXPECT_FALSE(contiene("Progressiva chilometrica uno", "progressiva"));
  EXPECT_FALSE(contiene_ic("ab", "abc"));
  EXPECT_TRUE(contiene_ic("abc", ""));
}

}  // namespace
