#include "tools/esamina/json.h"

#include <gtest/gtest.h>

#include "tools/esamina/prova_confronto.h"
#include "tools/esamina/prova_json.h"
#include "tools/esamina/prova_scenario.h"
#include "tools/esamina/svg.h"
#include "tools/esamina/validazione.h"

namespace {

TEST(DocumentoJson, JsonConcordaConLaMemoria) {
  esame_di_prova e;
  const std::string j = documento_json(e.s, e.d);
  confronta_json(e.p.compilazione, j);
  const valore_json doc = analizza_json(j).value();
  EXPECT_TRUE(doc["valido"].b);
  EXPECT_TRUE(doc["problemi"].elementi.empty());
  const valore_json& segnale = doc["celle"].elementi.at(21);
  EXPECT_EQ(segnale["cella"].intero(), 201);
  EXPECT_EQ(segnale["genere"].s, "segnale");
  EXPECT_EQ(segnale["valori"]["s1"].intero(), 4);
  EXPECT_EQ(segnale["valori"]["d1"].intero(), 2);
  EXPECT_EQ(segnale["valori"]["tempo"].intero(), 225);
}

// Texts that need escaping still give a well-formed document and picture.
TEST(DocumentoJson, TestiDaProteggere) {
  esame_di_prova e;
  e.p.compilazione.tabella_corsa[3].nome = "A&B <\"x\\y\">\x01";
  e.rileggi();
  const valore_json doc = analizza_json(documento_json(e.s, e.d)).value();
  EXPECT_EQ(doc["stazioni"][2]["nome"].s, "A&B <\"x\\y\">\uFFFD");
  const std::string svg = disegno_svg(e.s, e.d);
  EXPECT_TRUE(tag_bilanciati(svg));
  EXPECT_NE(svg.find(">A&amp;B &lt;&quot;x\\y&quot;&gt;\uFFFD</text>"), std::string::npos);
}

}  // namespace
