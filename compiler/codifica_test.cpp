#include "compiler/codifica.h"

#include <gtest/gtest.h>

#include "compiler/formato.h"
#include "compiler/numeri.h"

namespace {

std::string esadecimale(std::string_view b) {
  static const char* cifre = "0123456789ABCDEF";
  std::string s;
  for (unsigned char c : b) {
    if (!s.empty()) s += ' ';
    s += cifre[c >> 4];
    s += cifre[c & 15];
  }
  return s;
}

TEST(Codifica, OgniCampoInByteLittleEndian) {
  struct caso {
    const char* nome;
    void (*scrivi)(codifica&);
    const char* atteso;
  };
  const caso casi[] = {
      {"u8", [](codifica& b) { b.u8(0xB0); }, "B0"},
      {"i16 positivo", [](codifica& b) { b.i16(5121); }, "01 14"},
      {"i16 negativo", [](codifica& b) { b.i16(-2); }, "FE FF"},
      {"u16", [](codifica& b) { b.u16(5); }, "05 00"},
      {"i32", [](codifica& b) { b.i32(31605); }, "75 7B 00 00"},
      {"i32 negativo", [](codifica& b) { b.i32(-250); }, "06 FF FF FF"},
      {"f64", [](codifica& b) { b.f64(1.0); }, "00 00 00 00 00 00 F0 3F"},
      {"f64 negativo", [](codifica& b) { b.f64(-0.001); }, "FC A9 F1 D2 4D 62 50 BF"},
      {"testo", [](codifica& b) { b.testo("n\xB0"); }, "02 00 6E B0"},
      {"testo vuoto", [](codifica& b) { b.testo(""); }, "00 00"},
  };
  for (const caso& c : casi) {
    codifica b;
    c.scrivi(b);
    EXPECT_EQ(esadecimale(b.dati()), c.atteso) << c.nome;
  }
}

// The cursor reads back, field by field, what the encoder wrote; cut short
// anywhere, it fails at the field the bytes run out in, says how many bytes
// that field needed, and reads nothing past the end.
TEST(Decodifica, RileggeIRecordETroncatiDiceDoveSiFerma) {
  voce_corsa v;
  v.tipo = 24;
  v.inizio = -12250;
  v.nome = "SAN PIETRO 2";
  v.intero5 = -7;
  v.orario = 22980;
  const cella c{14, 80, -2, 3, 4, 225, 84, 2, 19, 65, 90};
  codifica b;
  campi(b, v);
  campi(b, c);
  const std::string tutto(b.dati());
  for (size_t n = 0; n <= tutto.size(); ++n) {
    decodifica in(std::string_view(tutto).substr(0, n));
    voce_corsa letta;
    cella letto;
    campi(in, letta);
    campi(in, letto);
    if (n == tutto.size()) {
      ASSERT_TRUE(in.ok());
      EXPECT_TRUE(in.finito());
      codifica di_nuovo;
      campi(di_nuovo, letta);
      campi(di_nuovo, letto);
      EXPECT_EQ(di_nuovo.dati(), tutto);
      continue;
    }
    ASSERT_FALSE(in.ok()) << n;
    const guasto_lettura& g = *in.guasto();
    EXPECT_EQ(in.posizione(), g.byte) << n;
    EXPECT_LE(g.byte, n) << n;
    EXPECT_EQ(g.restavano, n - g.byte) << n;
    EXPECT_GT(g.servono, g.restavano) << n;
    // The name's length field is whole from byte 16 on: its characters are
    // what is then missing.
    const bool nel_nome = n >= 16 && n < 16 + v.nome.size();
    EXPECT_EQ(g.lunghezza_testo.has_value(), nel_nome) << n;
  }
  // A negative length is wrong whatever follows.
  const std::string negativo("\xFD\xFF" "abc", 5);
  decodifica in(negativo);
  std::string testo;
  EXPECT_FALSE(in.testo(testo));
  EXPECT_EQ(in.guasto()->lunghezza_testo, -3);
  EXPECT_EQ(in.posizione(), 0u);
}

TEST(Codifica, LetturaInversaDellaScrittura) {
  codifica b;
  b.i16(-12345);
  b.i32(-2000000000);
  b.f64(501.999999);
  EXPECT_EQ(leggi_a<int16_t>(b.dati(), 0), -12345);
  EXPECT_EQ(leggi_a<int32_t>(b.dati(), 2), -2000000000);
  EXPECT_EQ(leggi_a<double>(b.dati(), 6), 501.999999);
}

// The buffer grows under the cursor: fields that straddle a growth, with or
// without room made ahead, come out whole and in order, and handing the
// bytes over gives exactly those written.
TEST(Codifica, CresceSenzaPerdereByte) {
  for (size_t riservati : {size_t{0}, size_t{3}, size_t{4000}}) {
    codifica b;
    b.riserva(riservati);
    for (int32_t i = 0; i < 1000; ++i) {
      b.u8(static_cast<uint8_t>(i));
      b.i32(i * 100003);
    }
    ASSERT_EQ(b.dati().size(), 5000u) << riservati;
    for (int32_t i = 0; i < 1000; ++i) {
      EXPECT_EQ(static_cast<uint8_t>(b.dati()[5 * i]), static_cast<uint8_t>(i));
      EXPECT_EQ(leggi_a<int32_t>(b.dati(), 5 * i + 1), i * 100003) << riservati;
    }
    const std::string presi = b.prendi();
    EXPECT_EQ(presi.size(), 5000u);
    EXPECT_EQ(leggi_a<int32_t>(presi, 4996), 999 * 100003);
    EXPECT_TRUE(b.dati().empty());
  }
}

TEST(Numeri, ArrotondaAlPariSulleMeta) {
  const std::pair<double, double> casi[] = {{2.5, 2},    {3.5, 4},     {-2.5, -2},
                                            {-3.5, -4},  {140.5, 140}, {141.5, 142},
                                            {2.4999, 2}, {0.5, 0},     {1.5, 2}};
  for (auto [x, atteso] : casi) EXPECT_EQ(arrotonda(x), atteso) << x;
}

TEST(Numeri, CellaDiUnaPosizione) {
  // Point objects go one cell past the position's own: 3000 m -> cell 61;
  // 75 m and 125 m both round to cell 2 with offset 0.
  EXPECT_EQ(indice_cella(3000, 1), 61);
  EXPECT_EQ(indice_cella(75, 0), 2);
  EXPECT_EQ(indice_cella(125, 0), 2);
  EXPECT_EQ(indice_cella(-75, 1), 0);     // -1.5 + 1 = -0.5 -> 0 (even)
  EXPECT_EQ(indice_cella(7025, 0), 140);  // (L + 7000) / 50 with L = 25
  EXPECT_EQ(indice_cella(7075, 0), 142);  // with L = 75
}

TEST(Numeri, CampiTengonoIBitBassi) {
  EXPECT_EQ(basso16(65536 + 7), 7);
  EXPECT_EQ(basso16(40000), 40000 - 65536);
  EXPECT_EQ(basso16(-1), -1);
  EXPECT_EQ(basso8(-35 + 100), 65);
  EXPECT_EQ(basso8(-101 + 100), 255);
  EXPECT_EQ(basso8(256 + 3), 3);
}

}  // namespace
