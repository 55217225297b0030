#include "compiler/numeri.h"

#include <gtest/gtest.h>

#include "compiler/codifica.h"
#include "compiler/formato.h"

namespace {

// Each encoding against its reading back, over every value its field can
// hold: what the tools read, encoded again as the compiler does, gives the
// field it was read from. A reading that a source cannot give back shows
// here as a field that comes back different.
TEST(Codifiche, OgniCampoRilettoERicodificatoTornaUguale) {
  for (const int offset : {0, 1})
    for (int64_t c = 0; c <= ultima_cella_per(lunghezza_massima); ++c)
      ASSERT_EQ(indice_cella(posizione_cella(c, offset), offset), c) << "offset " << offset;

  for (int b = 0; b <= 255; ++b) {
    const auto byte = static_cast<uint8_t>(b);
    ASSERT_EQ(byte_pendenza(pendenza_del_byte(byte)), byte);
    ASSERT_EQ(unita_velocita(velocita_delle_unita(byte)), byte);
    if (const int j = numero_segno_fermata(byte); j != 0) {
      ASSERT_EQ(segno_fermata(j), byte);
    }
  }
  for (int j = 1; j <= segni_fermata; ++j) ASSERT_EQ(numero_segno_fermata(segno_fermata(j)), j);

  for (int v = std::numeric_limits<int16_t>::min(); v <= std::numeric_limits<int16_t>::max(); ++v) {
    const auto campo = static_cast<int16_t>(v);
    const lati_indicatore l = lati_della_coppia(campo);
    ASSERT_EQ(coppia_indicatore(static_cast<int32_t>(l.s), static_cast<int32_t>(l.d)), campo);
    // The second side is a speed the last two digits can hold.
    ASSERT_TRUE(l.d >= 0 && l.d <= 99 * kmh_per_unita) << v;
    const lati_indicatore s = strisce_della_coppia(campo);
    ASSERT_EQ(strisce_indicatore(static_cast<int32_t>(s.s), static_cast<int32_t>(s.d)), campo);
    const decine_unita du = decine_della_coppia(campo);
    ASSERT_EQ(coppia_segnale(du.decine, du.unita), campo);
    ASSERT_TRUE(du.unita >= 0 && du.unita <= 9) << v;
  }

  // Every station kind, for lengths on both sides of 0 and both answers to
  // the longer area: the area stored reads back as the row that gives it.
  for (int tipo = 0; tipo <= 255; ++tipo) {
    const auto t = static_cast<uint8_t>(tipo);
    for (const int64_t p : {int64_t{0}, int64_t{1000}, int64_t{lunghezza_massima}})
      for (int64_t l = -1000; l <= 2000; l += 100)
        for (const bool allunga : {false, true}) {
          const area_stazione a = area_del_tipo(t, p, l, allunga);
          const riga_area r = riga_dell_area(t, p, a);
          ASSERT_TRUE(r.allunga.has_value()) << tipo << " " << p << " " << l;
          EXPECT_EQ(area_del_tipo(t, p, r.lunghezza, *r.allunga), a) << tipo << " " << l;
          EXPECT_EQ(r.lunghezza, l) << tipo;
          EXPECT_EQ(*r.allunga, allunga && allungabile(t)) << tipo;
        }
  }
}

// The pairs that read a negative value one way of several: the report and
// the decompiled source both give these sides.
TEST(Codifiche, CoppieNegativeSiLegganoInUnModo) {
  EXPECT_EQ(lati_della_coppia(-150), (lati_indicatore{-10, 250}));
  EXPECT_EQ(lati_della_coppia(-100), (lati_indicatore{-5, 0}));
  EXPECT_EQ(lati_della_coppia(1416), (lati_indicatore{70, 80}));
  EXPECT_EQ(coppia_indicatore(1640, 0), std::nullopt);
  EXPECT_EQ(decine_della_coppia(-5), (decine_unita{-1, 5}));
}

// The empty entry as the compiler writes it reads back as empty, and a
// change to any one of its bytes gives an entry that is not, or none.
TEST(Codifiche, VoceVuotaSoloSeOgniByteLoE) {
  codifica b;
  const voce_corsa nuova{};
  campi(b, nuova);
  const std::string vuota(b.dati());
  const auto leggi = [](std::string_view byte) {
    decodifica in(byte);
    voce_corsa v;
    campi(in, v);
    return in.ok() ? std::optional(v) : std::nullopt;
  };
  ASSERT_TRUE(voce_vuota(*leggi(vuota)));
  for (size_t i = 0; i < vuota.size(); ++i)
    for (const char x : {'\x01', '\x80'}) {
      std::string cambiata = vuota;
      cambiata[i] = x;
      const std::optional<voce_corsa> v = leggi(cambiata);
      EXPECT_TRUE(!v || !voce_vuota(*v)) << "byte " << i;
    }
}

}  // namespace
