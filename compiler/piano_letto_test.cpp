#include "compiler/piano_letto.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "compiler/file_compilati.h"
#include "compiler/lettura_compilati.h"
#include "testing/cartella_prova.h"

namespace {

// A plan read back gives every value the compiler wrote, in the same place,
// whether the file lies as the compiler lays it (its values found by
// arithmetic) or not (by the byte of each), whether its bytes are in memory
// or read from disk a piece at a time (the line of 20 km spans pieces), and
// whether it is walked metre by metre, one coordinate at a time, or at
// random.
TEST(PianoLetto, OgniValoreDoveIlCompilatoreLoHaScritto) {
  punti_piano dritto;  // laid out as compiled
  dritto.crea(20000 + coda_percorso);
  dritto.inizia(0, 0, 0, 1);
  dritto.curva_fino(9000, 0.0004);
  dritto.dritto_fino(dritto.ultimo() - 2);
  punti_piano misto;  // Integers and empty values where Doubles would be
  misto.crea(40);
  for (int32_t m = 0; m <= 36; ++m) {
    if (m % 7 == 3) {
      misto.metti_intero(m, m % 2, static_cast<int16_t>(-m * 1000));
    } else {
      misto.metti_doppio(m, 0, m * -0.001);
      misto.metti_doppio(m, 1, m + 0.5);
    }
  }
  cartella_temporanea c;
  for (const punti_piano* atteso : {&dritto, &misto}) {
    const std::string byte = codifica_linea(*atteso);
    scrivi_testo(c / "linea.dat", byte);
    for (bool da_disco : {false, true}) {
      const std::string caso = std::to_string(atteso->ultimo()) + (da_disco ? " da disco" : "");
      contenuti file;
      if (da_disco)
        file.linea.emplace(std::make_shared<file_in_lettura>(c / "linea.dat"));
      else
        file.linea = std::string_view(byte);
      const scenario_letto s = leggi_scenario(file, "N", "1");
      for (const problema& q : s.problemi)  // the other two files are left out
        ASSERT_NE(q.file, s.file.linea) << caso << ": " << riga_problema(q);
      const piano_letto& p = s.punti;
      ASSERT_EQ(p.ultimo(), atteso->ultimo()) << caso;

      int32_t m = 0;
      int diversi = 0;
      p.percorri([&](uint16_t tx, double x, uint16_t ty, double y) {
        diversi += tx != atteso->tipo(m, 0) || x != atteso->valore(m, 0) ||
                   ty != atteso->tipo(m, 1) || y != atteso->valore(m, 1);
        ++m;
      });
      EXPECT_EQ(m, p.ultimo() + 1) << caso;
      for (int k = 0; k < 2; ++k)
        p.percorri(k, [&](int32_t n, uint16_t t, double v) {
          diversi += t != atteso->tipo(n, k) || v != atteso->valore(n, k);
        });
      for (int32_t n = p.ultimo(); n >= 0; n -= 7)
        for (int k = 0; k < 2; ++k)
          diversi += p.tipo(n, k) != atteso->tipo(n, k) || p.valore(n, k) != atteso->valore(n, k);
      EXPECT_EQ(diversi, 0) << caso;
    }
  }
}

}  // namespace
