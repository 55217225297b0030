#include <iostream>

#include "app/piattaforma.h"

namespace fs = std::filesystem;

fs::path cartella_eseguibile() {
  std::error_code ec;
  const fs::path eseguibile = fs::read_symlink("/proc/self/exe", ec);
  if (!ec) return eseguibile.parent_path();
  return fs::current_path();
}

namespace {

class piattaforma_console final : public piattaforma {
 public:
  fs::path cartella_programma() override { return cartella_eseguibile(); }
  void mostra_attesa() override { std::cerr << "Attendere" << std::endl; }
  void chiudi_attesa() override {}
  void messaggio_errore(const std::string& testo) override { std::cerr << testo << std::endl; }
  void segnala(const std::string& testo) override { std::cerr << testo << std::endl; }
};

}  // namespace

std::unique_ptr<piattaforma> crea_piattaforma_console() {
  return std::make_unique<piattaforma_console>();
}
