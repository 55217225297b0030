#include <cstdio>
#include <iostream>

#include "app/piattaforma.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <string>
#endif

namespace fs = std::filesystem;

#ifdef _WIN32
fs::path cartella_eseguibile() {
  // The name can be longer than MAX_PATH: the buffer grows until it fits.
  std::wstring nome(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, nome.data(), static_cast<DWORD>(nome.size()));
    if (n == 0) return fs::current_path();
    if (n < nome.size()) {
      nome.resize(n);
      return fs::path(nome).parent_path();
    }
    nome.resize(nome.size() * 2);
  }
}

void flussi_standard_binari() {
  // A program started with no console has no streams to set.
  for (std::FILE* flusso : {stdout, stderr}) {
    const int d = _fileno(flusso);
    if (d < 0) continue;
    std::fflush(flusso);
    _setmode(d, _O_BINARY);
  }
}
#else
fs::path cartella_eseguibile() {
  std::error_code ec;
  const fs::path eseguibile = fs::read_symlink("/proc/self/exe", ec);
  if (!ec) return eseguibile.parent_path();
  return fs::current_path();
}

void flussi_standard_binari() {}  // no translation to undo
#endif

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
