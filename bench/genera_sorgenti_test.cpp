#include "bench/genera_sorgenti.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "compiler/file_compilati.h"
#include "sistema/fine_programma.h"
#include "testing/compilazione_prova.h"
#include "testing/prova_piattaforma.h"
#include "tools/compila/compila.h"

namespace {

// Every row that carries a position has it as its first value: a multiple
// of 50, ascending among the rows of its keyword.
void controlla_posizioni(const std::string& testo) {
  std::map<std::string, long> ultima;
  std::istringstream in(testo);
  std::string r;
  while (std::getline(in, r)) {
    ASSERT_TRUE(r.ends_with('\r')) << r;
    const size_t virgola = r.find(',');
    if (virgola == std::string::npos) continue;
    const std::string parola = r.substr(0, virgola);
    const long p = std::strtol(r.c_str() + virgola + 1, nullptr, 10);
    const bool posizionale = parola != "orologio" && parola.find(' ') == std::string::npos;
    if (!posizionale) continue;
    EXPECT_EQ(p % 50, 0) << r;
    // Curves of both sides and board rows of one kind share one order.
    const std::string tipo = parola.starts_with("curva") ? "curva" : parola;
    if (ultima.contains(tipo)) {
      EXPECT_GT(p, ultima[tipo]) << r;
    }
    ultima[tipo] = p;
  }
}

struct caso {
  int32_t metri;
  size_t segnali;  // one a block
};

class SorgentiGenerate : public ::testing::TestWithParam<caso> {};

// The sources must pass every check of the compiler: compiled with status 0
// and every signal stored, at every length up to the longest accepted line.
// The line file, written piece by piece, holds the bytes of the plan the
// sources give.
TEST_P(SorgentiGenerate, SiCompilanoSenzaErrori) {
  const caso c = GetParam();
  cartella_temporanea cartella;
  scrivi_sorgenti(cartella.percorso(), "Lunga", "1", c.metri);
  const sorgenti_generate s = genera_sorgenti(c.metri);
  controlla_posizioni(s.linea);
  controlla_posizioni(s.corsa);

  std::ostringstream uscita, errori;
  const int stato = compila_scenario({cartella.percorso().string(), "Lunga", "1"}, uscita, errori);
  ASSERT_EQ(stato, stato_uscita::successo) << errori.str();

  const std::string linea = leggi_testo(cartella / "Lunga_linea.dat");
  EXPECT_EQ(linea.size(), 20u * c.metri + 139964);
  compilazione_prova p;
  p.leggi(s.linea, s.corsa);
  ASSERT_EQ(p.compilazione.problema.codice, 0);
  EXPECT_TRUE(linea == codifica_linea(p.compilazione.punti_linea))
      << "line file of " << c.metri << " m";
  const std::string tracciato = leggi_testo(cartella / "Lunga_1.dat");
  ASSERT_EQ(tracciato.size(), byte_cella * ((c.metri + 7000) / 50 + 1));
  size_t segnali = 0;
  for (size_t i = 0; i < tracciato.size(); i += byte_cella)
    if (tracciato[i] == tipo_cella::segnale) ++segnali;
  EXPECT_EQ(segnali, c.segnali);
}

INSTANTIATE_TEST_SUITE_P(Lunghezze, SorgentiGenerate,
                         ::testing::Values(caso{2000, 1}, caso{24000, 12}, caso{100000, 50},
                                           caso{1000000, 500}));

TEST(SorgentiGenerate, RifiutaLunghezzeFuoriMisura) {
  for (int32_t l : {0, 1000, 2050, 1002000})
    EXPECT_THROW(genera_sorgenti(l), std::invalid_argument) << l;
}

}  // namespace
