// Linked only into the test builds of the programs made for Windows
// (genera_scenario_prova, compila_scenario_prova): that system has no limit
// on the size of a process's files, so the tests hand theirs over in the
// environment (testing/processo_prova_win32.cpp) and this puts it into the
// file layer before main runs. The shipped programs carry nothing of it.
#include <cstdlib>

#include "sistema/file_disco.h"

namespace {

const bool limite_preso = [] {
  if (const char* limite = std::getenv("SCENARIO_PROVA_LIMITE_FILE"))
    limita_file_per_prova(std::strtoull(limite, nullptr, 10));
  return true;
}();

}  // namespace
