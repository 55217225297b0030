#include "tools/esamina/rapporto.h"

#include <gtest/gtest.h>

#include "tools/esamina/prova_confronto.h"
#include "tools/esamina/prova_scenario.h"
#include "tools/esamina/validazione.h"

namespace {

TEST(Rapporto, RapportoConcordaConLaMemoria) {
  esame_di_prova e;
  const std::string r = rapporto(e.s, e.d);
  confronta_rapporto(e.p.form, r);
  for (const char* riga : {
           "  ripetizione segnali: da 4600 m a 15000 m, 9 codici\n",
           "  orologio di partenza: 06:11:30\n",
           "  cella 1: codice di formato 5121, codice dello scenario 2296\n",
           "  voce 85: codice di formato 610, codice dello scenario 31605\n",
           "  2. S. PIETRO° 2: tipo 24, a 12400 m, area da 12250 m a 12550 m, fermata cella 250, "
           "orario 06:23:00\n",
           "  3. Bivio Nord: tipo 26, a 15000 m, area da 14900 m a 15100 m, fermata nessuna, "
           "orario 06:30:00\n",
           "  voce 78, cella 253: (S.ROCCO°)(BIVIO)\n",
           "  cella 201 (10000 m): segnale: sx 2, aspetti 4 1 1; dx 2, aspetti 2 1 1; rapp 0; "
           "tempo 225\n",
           "  cella 375 (18750 m): fermata della stazione 4 (Ombrasca)\n",
           "    celle da 201 a 400 (da 10050 m a 20050 m): -35 per mille\n",
           "    celle da 228 a 239 (da 11400 m a 12000 m): 3\n",
       })
    EXPECT_NE(r.find(riga), std::string::npos) << riga;
}

}  // namespace
