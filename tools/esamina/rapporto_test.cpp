#include "tools/esamina/rapporto.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <regex>
#include <sstream>

#include "sistema/fine_programma.h"
#include "sources/scenario_portato.h"
#include "testing/prova_piattaforma.h"
#include "tools/esamina/comando.h"
#include "tools/esamina/prova_confronto.h"
#include "tools/esamina/prova_json.h"
#include "tools/esamina/prova_scenario.h"
#include "tools/esamina/testo.h"
#include "tools/esamina/validazione.h"

namespace {

TEST(Rapporto, RapportoConcordaConLaMemoria) {
  esame_di_prova e;
  const std::string r = rapporto(e.s, e.d);
  confronta_rapporto(e.p.compilazione, r);
  for (const char* riga : {
           "  ripetizione segnali: da 4600 m a 15000 m, 9 codici\n",
           "  orologio di partenza: 06:11:30\n",
           "  cella 1: codice di formato 5121, codice dello scenario 2296\n",
           "  voce 85: codice di formato 610, codice dello scenario 31605\n",
           "    voce 81: da 10000 m, progressiva km 45,000, codice 1 (km decrescenti); memorizzata "
           "45100, 100 m in più per il codice 1; in vigore da 9950 m, km 35,050\n",
           "    voce 82: da 5000 m, progressiva km 40,100, codice 2 (km crescenti); in vigore da "
           "4950 m, km 45,050\n",
           "    voce 83: da 0 m, progressiva km 39,050, codice 1 (km decrescenti); memorizzata "
           "39150, "
           "100 m in più per il codice 1; all'inizio della corsa km 39,050\n",
           "  2. S. PIETRO° 2: tipo 24, a 12400 m (km 32,600), area da 12250 m a 12550 m, fermata "
           "cella 250, "
           "orario 06:23:00\n",
           "  3. Bivio Nord: tipo 26, a 15000 m (km 30,000), area da 14900 m a 15100 m, fermata "
           "nessuna, "
           "orario 06:30:00\n",
           "  voce 78, cella 253: (S.ROCCO°)(BIVIO)\n",
           "  cella 201 (10000 m, km 35,000): segnale: sx 2, aspetti 4 1 1; dx 2, aspetti 2 1 1; "
           "rapp 0; "
           "tempo 225\n",
           "  cella 375 (18750 m, km 26,250): fermata della stazione 4 (Ombrasca)\n",
           "    celle da 201 a 400 (da 10050 m a 20050 m): -35 per mille\n",
           "    celle da 228 a 239 (da 11400 m a 12000 m): 3\n",
       })
    EXPECT_NE(r.find(riga), std::string::npos) << riga;
}

// The carried run compiled and examined: every place of its train sheet that
// is a station of the run has, in the report and in the JSON document, the
// railway kilometre that the sheet's progressive column gives it.
TEST(Rapporto, ChilometriDellaSchedaTreno) {
  form_in_prova p;
  ASSERT_EQ(p.form.avvia(), stato_uscita::successo);
  const std::vector<std::string> argomenti = {p.cartella.percorso().string(), "Ombrasca1", "5817"};
  std::ostringstream rapporto, json, errori;
  ASSERT_EQ(esegui_esamina(argomenti, rapporto, errori), 0) << errori.str();
  std::vector<std::string> con_json = argomenti;
  con_json.insert(con_json.begin(), "--json");
  ASSERT_EQ(esegui_esamina(con_json, json, errori), 0) << errori.str();
  const valore_json doc = analizza_json(json.str()).value();
  std::map<std::string, const valore_json*> stazioni;
  for (const valore_json& st : doc["stazioni"].elementi) stazioni[st["nome"].s] = &st;

  // A place's row: two speed cells, the km cell, the name cell (the closing
  // row has underscores for blanks).
  const std::regex luogo(R"(^ \|[^|]*\|[^|]*\| *(\d+)\.(\d{3}) \|([^|]*)\|)");
  size_t confrontate = 0;
  for (std::string_view r : righe_scheda()) {
    std::string riga(r);
    std::replace(riga.begin(), riga.end(), '_', ' ');
    std::smatch m;
    if (!std::regex_search(riga, m, luogo)) continue;
    const std::string nome = da_1252(std::regex_replace(m[3].str(), std::regex(" +$"), ""));
    const auto st = stazioni.find(nome);
    if (st == stazioni.end()) continue;  // a kilometre post, points, a signal
    ++confrontate;
    const std::string km = m[1].str() + "," + m[2].str();
    EXPECT_EQ((*st->second)["km_ferroviario_m"].intero(),
              std::stoll(m[1]) * 1000 + std::stoll(m[2]))
        << nome;
    EXPECT_NE(rapporto.str().find(". " + nome + ": tipo " +
                                  std::to_string((*st->second)["tipo"].intero()) + ", a " +
                                  std::to_string((*st->second)["progressiva_m"].intero()) +
                                  " m (km " + km + "), "),
              std::string::npos)
        << nome << " km " << km;
  }
  EXPECT_EQ(confrontate, stazioni.size());
}

}  // namespace
