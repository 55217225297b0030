// What starting a program looks like to a test, the same on every system
// (the system's own part: processo_prova_posix.cpp, processo_prova_win32.cpp).
#include "testing/processo_prova.h"

#include <thread>

namespace fs = std::filesystem;

esito_processo esegui_processo(const fs::path& eseguibile, const std::vector<std::string>& argomenti,
                               std::optional<long> limite_file) {
  return processo_avviato(eseguibile, argomenti, limite_file).attendi();
}

esito_processo esegui_e_uccidi(const fs::path& eseguibile, const std::vector<std::string>& argomenti,
                               std::chrono::microseconds ritardo) {
  processo_avviato p(eseguibile, argomenti);
  std::this_thread::sleep_for(ritardo);
  p.uccidi();  // one that has ended keeps its identity until waited for: never another's
  return p.attendi();
}

std::vector<std::string> temporanei_rimasti(const fs::path& cartella) {
  std::vector<std::string> r;
  for (const auto& voce : fs::directory_iterator(cartella)) {
    const std::string nome = voce.path().filename().string();
    if (nome.find(".tmp") != std::string::npos || nome.starts_with("."))
      r.push_back(nome);
  }
  return r;
}
