#include "compiler/nomi_scenario.h"

file_scenario file_dello_scenario(std::string_view nome_scenario, std::string_view numero_treno) {
  const std::string nome(nome_scenario);
  const std::string corsa = nome + "_" + std::string(numero_treno);
  return {nome + "_linea.txt", corsa + "-.txt", nome + "_linea.dat", corsa + ".sim",
          corsa + ".dat"};
}

namespace {

// Lower case of one Windows-1252 character, accented capitals included.
unsigned char minuscola_1252(unsigned char c) {
  if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return c + 0x20;
  if (c == 0x8A || c == 0x8C || c == 0x8E) return c + 0x10;
  if (c == 0x9F) return 0xFF;
  return c;
}

// Train number, then scenario name, in lower case, then a fixed tail that
// makes the text at least 26 characters long; only the first 25 count.
std::string testo_codice(std::string_view treno, std::string_view scenario) {
  std::string t = std::string(treno) + std::string(scenario);
  for (char& c : t) c = static_cast<char>(minuscola_1252(static_cast<unsigned char>(c)));
  return t + "aabbccddeeffgghhiillmmnnoo";
}

}  // namespace

codici_scenario codici_dai_nomi(std::string_view numero_treno, std::string_view nome_scenario) {
  const std::string t = testo_codice(numero_treno, nome_scenario);
  int32_t somma = 0;
  int32_t pesata = 0;
  for (int i = 1; i <= 25; ++i) {
    const int32_t a = static_cast<unsigned char>(t[i - 1]);
    somma += a;
    pesata += a * i;
  }
  return {static_cast<int16_t>(somma), pesata};
}

bool nessun_file_da_leggere(const std::filesystem::path& cartella, std::string_view nome,
                            std::string_view treno, bool sorgenti) {
  const file_scenario f = file_dello_scenario(nome, treno);
  std::error_code ec;
  const auto c = [&](const std::string& n) { return std::filesystem::exists(cartella / n, ec); };
  return sorgenti ? !c(f.sorgente_linea) && !c(f.sorgente_corsa)
                  : !c(f.linea) && !c(f.tabella) && !c(f.tracciato);
}
