// The client libraries are loaded only for a display, and a run whose
// libraries cannot be had falls back to the console. The program itself is
// run, with a folder of stand-ins first on its library path: a copy of a
// library that announces itself when loaded and has none of the functions,
// or a file that is no library at all.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testing/processo_prova.h"
#include "testing/prova_piattaforma.h"
#include "testing/variabile_ambiente.h"
#include "testing/x11/schermo_virtuale.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* libx11 = "libX11.so.6";
constexpr const char* libxft = "libXft.so.2";

enum class display { assente, vuoto, virtuale };

struct caricamento {
  const char* nome;
  display schermo;
  std::vector<std::string> finte;   // names the announcing stand-in takes
  std::vector<std::string> guaste;  // names a file that is no library takes
  std::string errori;               // all the run says on standard error
};
void PrintTo(const caricamento& c, std::ostream* os) { *os << c.nome; }

class CaricamentoX11 : public ::testing::TestWithParam<caricamento> {};

TEST_P(CaricamentoX11, SoloConUnoSchermoEAltrimentiLaConsole) {
  const caricamento& caso = GetParam();
  std::unique_ptr<schermo_virtuale> schermo;
  std::optional<std::string> nome_display;
  if (caso.schermo == display::vuoto) nome_display = "";
  if (caso.schermo == display::virtuale) {
    if (!trova_programma("Xvfb")) GTEST_SKIP() << "Xvfb non installato: prova saltata";
    schermo = std::make_unique<schermo_virtuale>();
    ASSERT_TRUE(schermo->pronto()) << "Xvfb installato ma non partito";
    nome_display = schermo->nome();
  }

  cartella_temporanea c;
  const fs::path eseguibile = c / "genera_scenario";
  fs::copy_file(GENERA_SCENARIO_EXE, eseguibile);
  const fs::path librerie = c / "librerie";
  fs::create_directory(librerie);
  // Copies, not links: a library already loaded under another name would be
  // taken for this one and not announce itself again.
  for (const std::string& nome : caso.finte) fs::copy_file(LIBRERIA_FINTA, librerie / nome);
  for (const std::string& nome : caso.guaste) scrivi_testo(librerie / nome, "non una libreria\n");

  variabile_ambiente v_display("DISPLAY", nome_display);
  variabile_ambiente v_percorso("LD_LIBRARY_PATH", librerie.string());
  const esito_processo e = esegui_processo(eseguibile);
  ASSERT_TRUE(e.uscito) << "ended by signal " << e.segnale << "\n" << e.errori;
  EXPECT_EQ(e.stato, 0) << e.errori;
  EXPECT_EQ(e.errori, caso.errori);
  // The whole job was done either way.
  EXPECT_TRUE(fs::exists(c / "Ombrasca1_5817.dat"));
  EXPECT_TRUE(fs::exists(c / "Ombrasca1_linea.dat"));
}

INSTANTIATE_TEST_SUITE_P(
    Piattaforma, CaricamentoX11,
    ::testing::Values(
        // No display: neither library is even looked for.
        caricamento{
            "SenzaDisplay", display::assente, {libx11, libxft}, {}, "genera_scenario: attendere\n"},
        caricamento{
            "DisplayVuoto", display::vuoto, {libx11, libxft}, {}, "genera_scenario: attendere\n"},
        // A display, but libraries without the functions the windows need.
        caricamento{"X11SenzaFunzioni",
                    display::virtuale,
                    {libx11},
                    {},
                    "caricata libX11.so.6\ngenera_scenario: attendere\n"},
        caricamento{"XftSenzaFunzioni",
                    display::virtuale,
                    {libxft},
                    {},
                    "caricata libXft.so.2\ngenera_scenario: attendere\n"},
        // A display, but a library that cannot be loaded, as on a machine
        // where it is missing or broken.
        caricamento{"X11Guasta", display::virtuale, {}, {libx11}, "genera_scenario: attendere\n"},
        caricamento{"XftGuasta", display::virtuale, {}, {libxft}, "genera_scenario: attendere\n"},
        // The real libraries on a display: the wait window, nothing on the console.
        caricamento{"LibrerieVere", display::virtuale, {}, {}, ""}),
    [](const auto& info) { return std::string(info.param.nome); });

}  // namespace
