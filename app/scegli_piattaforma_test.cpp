#include "app/scegli_piattaforma.h"

#include <gtest/gtest.h>

#include "testing/variabile_ambiente.h"

namespace {

// Without a display that answers, a run gets the console: the wait message
// and the error stop go to standard error, where a console user sees them.
struct senza_schermo {
  const char* nome;
  std::optional<std::string> display;
};
void PrintTo(const senza_schermo& s, std::ostream* os) { *os << s.nome; }

class SenzaSchermo : public ::testing::TestWithParam<senza_schermo> {};

TEST_P(SenzaSchermo, SiUsaLaConsole) {
#ifdef _WIN32
  GTEST_SKIP() << "on Windows the windows follow the desktop, not DISPLAY (FinestreWin32)";
#endif
  variabile_ambiente display("DISPLAY", GetParam().display);
  const auto p = crea_piattaforma();
  ASSERT_NE(p, nullptr);

  testing::internal::CaptureStderr();
  p->mostra_attesa();
  p->messaggio_errore(" Errore n. 1250");
  p->chiudi_attesa();
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "genera_scenario: attendere\ngenera_scenario: Errore n. 1250\n");
  EXPECT_EQ(p->cartella_programma(), cartella_eseguibile());
}

INSTANTIATE_TEST_SUITE_P(Piattaforma, SenzaSchermo,
                         ::testing::Values(senza_schermo{"DisplayAssente", std::nullopt},
                                           senza_schermo{"DisplayVuoto", ""},
                                           // A display nobody serves: the connection fails.
                                           senza_schermo{"DisplaySenzaServer", ":4077"}),
                         [](const auto& info) { return std::string(info.param.nome); });

}  // namespace
