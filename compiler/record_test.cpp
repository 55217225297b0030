#include "compiler/record.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "compiler/codifica.h"
#include "compiler/file_compilati.h"

namespace {

// A plan of metres 0..ultimo: points 0 and 1, straight up to `dritto`, then
// an arc up to `arco`.
punti_piano piano_di_prova(int32_t ultimo, int64_t dritto, int64_t arco) {
  punti_piano p;
  p.crea(ultimo);
  p.inizia(0, 0, 0, 1);
  p.dritto_fino(dritto);
  p.curva_fino(arco, 0.001);
  return p;
}

TEST(PuntiPiano, PianiPiuCortiDeiLoroTratti) {
  struct caso {
    int32_t ultimo;
    int64_t dritto, arco;
    size_t byte;       // of the line file
    int64_t prossimo;  // next point to compute
  };
  const caso casi[] = {
      {0, 1, 1, 2 * 4, 2},                          // point 0 alone
      {1, 1, 1, 2 * (4 + 4), 2},                    // points 0 and 1, no steps
      {3, 5, 9, 2 * (4 + 4 + 10 + 10), 10},         // steps past the end are not stored
      {10, 5, 4, 2 * (4 + 4 + 4 * 10 + 5 * 2), 6},  // an arc ending before it starts
  };
  for (const caso& c : casi) {
    const punti_piano p = piano_di_prova(c.ultimo, c.dritto, c.arco);
    EXPECT_EQ(p.prossimo(), c.prossimo) << c.ultimo;
    EXPECT_EQ(codifica_linea(p).size(), c.byte) << c.ultimo;
    EXPECT_EQ(p.tipo(c.ultimo, 1), c.ultimo < 2            ? tipo_valore::intero
                                   : c.ultimo < c.prossimo ? tipo_valore::doppio
                                                           : tipo_valore::vuoto)
        << c.ultimo;
  }
}

// Reading a value makes the copy; a later stretch must not leave it stale.
TEST(PuntiPiano, UnTrattoDopoUnaLetturaRifaICalcoli) {
  punti_piano p;
  p.crea(20);
  p.inizia(0, 0, 0, 1);
  p.dritto_fino(5);
  EXPECT_EQ(p.valore(5, 1), 5.0);
  EXPECT_EQ(p.tipo(6, 0), tipo_valore::vuoto);
  EXPECT_TRUE(p.tenuto_in_memoria());
  p.curva_fino(8, 0.001);
  EXPECT_FALSE(p.tenuto_in_memoria());
  EXPECT_EQ(p.tipo(8, 0), tipo_valore::doppio);
  EXPECT_EQ(p.valore(6, 0), 0.001);
  EXPECT_EQ(p.tipo(9, 1), tipo_valore::vuoto);
}

// The tools that read a line file back set its values one at a time; from
// then on the copy is the plan, and steps can no longer follow it.
TEST(PuntiPiano, ValoriMessiAManoSonoIlPiano) {
  punti_piano p = piano_di_prova(20, 10, 12);
  p.metti_doppio(5, 0, 42.5);
  p.metti_intero(18, 1, -7);
  const std::string b = codifica_linea(p);
  // First half: two Integers (4 bytes each), then Doubles (10 bytes each).
  EXPECT_EQ(leggi_a<double>(b, 8 + 3 * 10 + 2), 42.5);
  EXPECT_EQ(leggi_a<double>(b, 8 + 4 * 10 + 2), 0.0) << "its neighbours keep their values";
  // Second half: point 18, now an Integer, then the empty points 19 and 20.
  const size_t meta = 2 * 4 + 11 * 10 + 8 * 2;
  ASSERT_EQ(b.size(), 2 * meta + 2);
  EXPECT_EQ(leggi_a<uint16_t>(b, b.size() - 2 * 2 - 4), tipo_valore::intero);
  EXPECT_EQ(leggi_a<int16_t>(b, b.size() - 2 * 2 - 2), -7);
  EXPECT_EQ(leggi_a<double>(b, meta + 8 + 8 * 10 + 2), 10.0) << "point 10's y, from the steps";
  EXPECT_THROW(p.dritto_fino(15), std::logic_error);
  EXPECT_THROW(p.inizia(0, 0, 0, 1), std::logic_error);

  // A new plan starts from nothing.
  p.crea(20);
  p.inizia(0, 0, 0, 1);
  p.dritto_fino(18);
  EXPECT_EQ(p.valore(5, 0), 0.0);
}

TEST(PuntiPiano, PassiSenzaIPrimiDuePunti) {
  punti_piano p;
  p.crea(10);
  EXPECT_THROW(p.dritto_fino(5), std::logic_error);
  EXPECT_EQ(codifica_linea(p), std::string(2 * 11 * 2, '\0')) << "every element empty";
}

TEST(PuntiPiano, IndiciFuoriDalPiano) {
  const std::pair<int32_t, int> fuori[] = {{-1, 0}, {21, 0}, {0, -1}, {0, 2}, {20, 2}};
  punti_piano p = piano_di_prova(20, 10, 12);
  for (auto [m, k] : fuori) {
    EXPECT_THROW(p.tipo(m, k), std::out_of_range) << m << "," << k;
    EXPECT_THROW(p.valore(m, k), std::out_of_range) << m << "," << k;
    EXPECT_THROW(p.metti_doppio(m, k, 1.0), std::out_of_range) << m << "," << k;
    EXPECT_THROW(p.metti_intero(m, k, 1), std::out_of_range) << m << "," << k;
  }
  punti_piano vuoto;
  EXPECT_THROW(vuoto.tipo(0, 0), std::out_of_range);
}

}  // namespace
