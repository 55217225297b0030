#include <gtest/gtest.h>

#include "sistema/piattaforma.h"

#ifdef _WIN32
#include <windows.h>

#include <string>

#include "testing/processo_prova.h"

namespace {

// A message mixes the programs' UTF-8 with a name in the system's code page:
// each reaches the console as the letter it is.
TEST(TestoDellaConsole, LettereUtf8EByteDellaPaginaDiSistema) {
  const struct {
    std::string byte;
    std::wstring testo;
  } casi[] = {
      {"", L""},
      {"non \xC3\xA8 una cartella\n", L"non \u00E8 una cartella\n"},
      {"citt\xE0 non \xC3\xA8 una cartella", L"citt\u00E0 non \u00E8 una cartella"},
      {"\x80 \xE2\x82\xAC", L"\u20AC \u20AC"},
      {"\xF0\x9F\x98\x80", L"\U0001F600"},
      {"perch\xC3", L"perch\u00C3"},            // a letter cut short at the end
      {"\xED\xA0\x80", L"\u00ED\u00A0\u20AC"},  // a surrogate is no UTF-8
      {"\xC0\xAF", L"\u00C0\u00AF"},            // nor is a letter written too long
      {std::string("a\0b", 3), std::wstring(L"a\0b", 3)},
  };
  for (const auto& c : casi) EXPECT_EQ(testo_della_console(c.byte, 1252), c.testo) << c.byte;
}

// On a real console the programs' accents are letters, not the bytes of
// their UTF-8 read in the console's code page.
TEST(TestoDellaConsole, SullaConsoleGliAccentiSonoLettere) {
  const std::wstring aiuto = testo_sulla_console(COMPILA_SCENARIO_EXE, {"--help"});
  EXPECT_NE(aiuto.find(L"uso: compila_scenario"), std::wstring::npos) << aiuto.size();
  const std::wstring errore =
      testo_sulla_console(COMPILA_SCENARIO_EXE, {"manca_questa_cartella", "Prova", "5817"});
  EXPECT_NE(errore.find(L"compila_scenario: manca_questa_cartella non \u00E8 una cartella"),
            std::wstring::npos)
      << errore.size();
  // "è" as UTF-8 bytes shown in code page 850.
  for (const std::wstring& t : {aiuto, errore})
    EXPECT_EQ(t.find(L"\u251C\u00BF"), std::wstring::npos);
}

}  // namespace
#endif
