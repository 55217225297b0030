#include <gtest/gtest.h>

#include <climits>
#include <limits>
#include <random>

#include "compiler/lettura_compilati.h"
#include "testing/compilazione_prova.h"
#include "tools/esamina/descrizione.h"
#include "tools/esamina/json.h"
#include "tools/esamina/prova_confronto.h"
#include "tools/esamina/prova_json.h"
#include "tools/esamina/prova_scenario.h"
#include "tools/esamina/rapporto.h"
#include "tools/esamina/svg.h"
#include "tools/esamina/validazione.h"

namespace {

TEST(LetturaCompilati, RestituisceIRecordScrittiCampoPerCampo) {
  compilazione_prova p;
  riempi_scenario_di_prova(p.compilazione);
  const file_di_prova b = codifica_file(p.compilazione);
  const scenario_letto s = esamina(b.viste(), "Ombrasca1", "5817");
  for (const problema& q : s.problemi) ADD_FAILURE() << riga_problema(q);
  confronta_letto(p.compilazione, s);
  EXPECT_TRUE(s.linea_intera);
}

// Everything downstream of the reading must cope with whatever it produced.
void esamina_tutto(const contenuti& c) {
  const scenario_letto s = esamina(c, "Ombrasca1", "5817");
  const descrizione d = descrivi(s);
  EXPECT_FALSE(rapporto(s, d).empty());
  EXPECT_TRUE(analizza_json(documento_json(s, d)));
  EXPECT_TRUE(tag_bilanciati(disegno_svg(s, d)));
}

// Every file cut short anywhere is reported in its own name, and nothing
// breaks on the way.
TEST(LetturaCompilati, OgniTroncamentoESegnalatoSenzaGuasti) {
  compilazione_prova p;
  riempi_scenario_di_prova(p.compilazione);
  const file_di_prova b = codifica_file(p.compilazione);
  const nomi_file nomi = nomi_dei_file("Ombrasca1", "5817");
  const auto segnalato = [](const scenario_letto& s, const std::string& file) {
    for (const problema& q : s.problemi)
      if (q.file == file) return true;
    return false;
  };
  // The sweeps over the small files leave the line file out, which keeps
  // them quick; its absence is a problem of its own name.
  for (size_t n = 0; n < b.tabella.size(); ++n) {
    const scenario_letto s = esamina(
        {std::nullopt, std::string_view(b.tabella).substr(0, n), b.tracciato}, "Ombrasca1", "5817");
    EXPECT_TRUE(segnalato(s, nomi.tabella)) << "tabella troncata a " << n;
  }
  for (size_t n = 0; n < b.tracciato.size(); ++n) {
    const scenario_letto s = esamina(
        {std::nullopt, b.tabella, std::string_view(b.tracciato).substr(0, n)}, "Ombrasca1", "5817");
    EXPECT_TRUE(segnalato(s, nomi.tracciato)) << "tracciato troncato a " << n;
  }
  for (size_t n = 0; n < b.linea.size(); n += n < 100 ? 1 : 997) {
    const scenario_letto s = esamina(
        {std::string_view(b.linea).substr(0, n), b.tabella, b.tracciato}, "Ombrasca1", "5817");
    EXPECT_TRUE(segnalato(s, nomi.linea)) << "linea troncata a " << n;
  }
  for (size_t n : {0, 1, 15, 33, 34, 35, 40, 200, 1500})
    esamina_tutto({std::string_view(b.linea).substr(0, n * 10),
                   std::string_view(b.tabella).substr(0, n),
                   std::string_view(b.tracciato).substr(0, n)});
}

TEST(LetturaCompilati, ByteACasoNonRomponoNulla) {
  compilazione_prova p;
  riempi_scenario_di_prova(p.compilazione);
  const file_di_prova b = codifica_file(p.compilazione);
  std::mt19937 caso(5817);
  for (int giro = 0; giro < 40; ++giro) {
    file_di_prova g = b;
    for (std::string* file : {&g.linea, &g.tabella, &g.tracciato})
      for (int k = 0; k < 1 + giro % 7; ++k)
        (*file)[caso() % file->size()] = static_cast<char>(caso());
    esamina_tutto(g.viste());
  }
  esamina_tutto({std::nullopt, std::nullopt, std::nullopt});
  const std::string rumore = [&] {
    std::string r(5000, '\0');
    for (char& c : r) c = static_cast<char>(caso());
    return r;
  }();
  esamina_tutto({std::string_view(rumore), rumore, rumore});
}

// Values no compiler writes, at the edges of their fields.
TEST(LetturaCompilati, ValoriEstremiNonRomponoNulla) {
  for (int32_t L : {INT32_MIN, -1, 0, 1, 1000000, 1000001, INT32_MAX}) {
    compilazione_prova p;
    riempi_scenario_di_prova(p.compilazione);
    compilatore& f = p.compilazione;
    f.tabella_corsa[voce_tabella::lunghezza].fine = L;
    f.tabella_corsa[1].progressiva = INT32_MIN;
    f.tabella_corsa[1].orario = INT32_MIN;
    f.tabella_corsa[2].inizio = INT32_MAX;
    f.tabella_corsa[voce_tabella::treno].intero3 = INT16_MIN;
    f.celle[300] = {
        .tipo = 6, .dato1 = INT16_MIN, .dato2 = INT16_MAX, .dato3 = -1, .dato4 = INT16_MIN};
    f.celle[301] = {.tipo = 14, .dato1 = INT16_MIN};
    f.celle[302] = {.tipo = 10, .dato1 = 86};
    f.celle[303] = {.tipo = 1, .dato1 = -99, .dato4 = INT16_MIN, .dato5 = 255};
    for (cella& c : f.celle) c.pendenza = 255, c.velocita = 255, c.aderenza = 0;
    f.punti_linea.metti_doppio(100, 0, 1e308);
    f.punti_linea.metti_doppio(200, 1, -1e308);
    f.punti_linea.metti_doppio(300, 0, std::numeric_limits<double>::quiet_NaN());
    f.punti_linea.metti_doppio(400, 1, std::numeric_limits<double>::infinity());
    const file_di_prova b = codifica_file(f);
    esamina_tutto(b.viste());
    esamina_tutto({std::nullopt, b.tabella, std::nullopt});
  }
}

}  // namespace
