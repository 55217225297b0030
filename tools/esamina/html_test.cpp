#include "tools/esamina/html.h"

#include <gtest/gtest.h>

#include <sstream>

#include "compiler/formato.h"
#include "sistema/file_disco.h"
#include "tools/esamina/prova_json.h"
#include "tools/esamina/prova_scenario.h"
#include "tools/esamina/rapporto.h"
#include "tools/esamina/testo.h"

namespace {

size_t conta(const std::string& testo, std::string_view cosa) {
  size_t n = 0;
  for (size_t i = testo.find(cosa); i != std::string::npos; i = testo.find(cosa, i + 1)) ++n;
  return n;
}

// The railway kilometre as the page's script reads it from its stretches.
int64_t km_in_pagina(const valore_json& dati, int64_t m) {
  const auto& t = dati["tratti_chilometrici"].elementi;
  size_t i = 0;
  while (i + 1 < t.size() && t[i + 1]["da_m"].intero() <= m) ++i;
  return t[i]["km_m"].intero() + t[i]["verso"].intero() * (m - t[i]["da_m"].intero());
}

// The page opens from disk with nothing outside it; its data survive a name
// that would close the script holding them; every text it shows for a cell
// or a station is a line of the report.
TEST(PaginaHtml, ChiusaInSeConIDatiDelRapporto) {
  esame_di_prova e;
  e.p.compilazione.tabella_corsa[3].nome = "Bivio </script><script>x()</script>";
  e.rileggi();
  const std::string pagina = pagina_html(e.s, e.d);

  for (const char* esterno : {"http:", "https:", "src=", "<link", "@import", "url(", "@@"})
    EXPECT_EQ(pagina.find(esterno), std::string::npos) << esterno;
  EXPECT_EQ(conta(pagina, "<script"), 2u);
  EXPECT_EQ(conta(pagina, "</script"), 2u);
  for (const char* file :
       {"vista_dati.js", "vista_profilo.js", "vista_pianta.js", "vista_comandi.js", "vista.css"})
    EXPECT_NE(
        pagina.find(leggi_file(std::string(CARTELLA_PROGETTO "/tools/esamina/vista/") + file)),
        std::string::npos)
        << file << " is carried whole";

  const std::string apertura = "<script type=\"application/json\" id=\"dati-scenario\">";
  const size_t inizio = pagina.find(apertura) + apertura.size();
  const valore_json dati =
      analizza_json(pagina.substr(inizio, pagina.find("</script>", inizio) - inizio)).value();

  std::istringstream righe(rapporto(e.s, e.d));
  std::set<std::string> del_rapporto;
  for (std::string r; std::getline(righe, r);) del_rapporto.insert(r);
  const valore_json& stazioni = dati["stazioni"];
  ASSERT_EQ(stazioni["frase"].elementi.size(), e.d.stazioni.size());
  EXPECT_EQ(stazioni["nome"][2].s, "Bivio </script><script>x()</script>");
  for (const valore_json& f : stazioni["frase"].elementi)
    EXPECT_TRUE(del_rapporto.count("  " + f.s)) << f.s;
  const valore_json& oggetti = dati["oggetti"];
  ASSERT_EQ(oggetti["cella"].elementi.size(), e.d.oggetti.size());
  for (size_t i = 0; i < e.d.oggetti.size(); ++i) {
    const std::string riga = "  cella " + std::to_string(oggetti["cella"][i].intero()) + " (" +
                             std::to_string(oggetti["m"][i].intero()) + " m, km " +
                             chilometri(km_in_pagina(dati, oggetti["m"][i].intero())) +
                             "): " + dati["frasi"][oggetti["frase"][i].intero()].s;
    EXPECT_TRUE(del_rapporto.count(riga)) << riga;
  }
}

TEST(PaginaHtml, OgniProblemaPortaAlSuoPosto) {
  esame_di_prova e;
  const scenario_letto& s = e.s;
  const size_t meta = s.byte_linea / 2;
  const size_t interi = 2 * byte_valore(tipo_valore::intero);
  const struct {
    std::string file;
    std::optional<size_t> byte;
    std::optional<int64_t> metro;
  } casi[] = {
      {s.file.tracciato, 40 * byte_cella + 3, 2000},           // cell 40
      {s.file.tracciato, 1 << 30, (s.celle.size() - 1) * 50},  // past the last cell
      {s.file.tracciato, std::nullopt, std::nullopt},          // the whole file
      {s.file.tabella, s.inizio_voce[2] + 5, 12400},           // a station's entry
      {s.file.tabella, s.inizio_voce[80] + 3, 3000},           // a board's text
      {s.file.tabella, s.inizio_voce[voce_tabella::lunghezza], std::nullopt},
      {s.file.linea, 0, 0},
      {s.file.linea, meta + interi + 9 * byte_valore(tipo_valore::doppio), 11},  // y of metre 11
      {"altro.dat", 10, std::nullopt},
  };
  for (const auto& c : casi)
    EXPECT_EQ(metro_del_problema(s, e.d, {c.file, c.byte, "x"}), c.metro)
        << c.file << " byte " << c.byte.value_or(0);
}

}  // namespace
