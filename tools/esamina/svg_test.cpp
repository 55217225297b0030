#include "tools/esamina/svg.h"

#include <gtest/gtest.h>

#include "tools/esamina/prova_confronto.h"
#include "tools/esamina/prova_scenario.h"
#include "tools/esamina/validazione.h"

namespace {

TEST(Disegno, DisegnoConcordaConLaMemoria) {
  esame_di_prova e;
  const std::string svg = disegno_svg(e.s, e.d);
  confronta_svg(e.p.compilazione, svg);
  EXPECT_NE(svg.find("<polyline"), std::string::npos) << "la pianta della linea";
  EXPECT_EQ(svg.find("pianta non disponibile"), std::string::npos);
  for (const char* id :
       {"profilo-velocita", "profilo-pendenza", "profilo-aderenza", "asse-km", "segni-montagne"})
    EXPECT_NE(svg.find("id=\"" + std::string(id) + "\""), std::string::npos) << id;
}

TEST(Disegno, DisegnoSenzaFileDellaLinea) {
  esame_di_prova e;
  e.s = esamina({std::nullopt, codifica_file(e.p.compilazione).tabella,
                 codifica_file(e.p.compilazione).tracciato},
                "Ombrasca1", "5817");
  e.d = descrivi(e.s);
  const std::string svg = disegno_svg(e.s, e.d);
  EXPECT_TRUE(tag_bilanciati(svg));
  EXPECT_NE(svg.find("pianta non disponibile"), std::string::npos);
  confronta_svg(e.p.compilazione, svg);
}

}  // namespace
