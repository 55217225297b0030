#include "testing/cartella_prova.h"

#include <algorithm>
#include <fstream>
#include <random>
#include <sstream>

namespace fs = std::filesystem;

cartella_temporanea::cartella_temporanea() {
  std::random_device caso;
  for (;;) {
    percorso_ = fs::temp_directory_path() / ("prova_scenario_" + std::to_string(caso()));
    if (fs::create_directory(percorso_)) break;
  }
}

cartella_temporanea::~cartella_temporanea() {
  std::error_code ec;
  fs::permissions(percorso_, fs::perms::owner_all, fs::perm_options::add, ec);
  fs::remove_all(percorso_, ec);
}

std::vector<std::string> cartella_temporanea::elenco() const {
  std::vector<std::string> nomi;
  for (const auto& voce : fs::directory_iterator(percorso_))
    nomi.push_back(voce.path().filename().string());
  std::sort(nomi.begin(), nomi.end());
  return nomi;
}

void scrivi_testo(const fs::path& file, const std::string& testo) {
  std::ofstream f(file, std::ios::binary);
  f << testo;
}

std::string leggi_testo(const fs::path& file) {
  std::ifstream f(file, std::ios::binary);
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

std::string righe_crlf(std::initializer_list<std::string_view> righe) {
  std::string s;
  for (std::string_view r : righe) {
    s.append(r);
    s.append("\r\n");
  }
  return s;
}

std::string sorgente_linea(int32_t L, std::initializer_list<std::string_view> record) {
  return righe_crlf({"[generale]", "lunghezza percorso,    " + std::to_string(L), "[curve]"}) +
         righe_crlf(record) + "[fine]\r\n";
}

std::string sorgente_corsa(std::initializer_list<std::string_view> righe) {
  return "[generale]\r\n" + righe_crlf(righe) + "[fine]\r\n";
}
