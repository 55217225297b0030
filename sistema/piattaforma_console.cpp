#include <cstdio>
#include <iostream>

#include "sistema/piattaforma.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
// after windows.h, which it needs
#include <shellapi.h>

#include <algorithm>
#include <memory>
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

std::optional<std::vector<std::string>> argomenti_programma(int argc, char** argv,
                                                            std::string_view comando,
                                                            std::ostream& errori) {
  std::vector<std::string> argomenti(argv + 1, argv + argc);
  // Where the code page is UTF-8 every character gets through.
  if (GetACP() == CP_UTF8) return argomenti;
  int n = 0;
  const std::unique_ptr<LPWSTR, decltype(&LocalFree)> larghi(
      CommandLineToArgvW(GetCommandLineW(), &n), &LocalFree);
  if (!larghi) return argomenti;
  for (int i = 1; i < n; ++i) {
    BOOL sostituito = FALSE;
    const wchar_t* a = larghi.get()[i];
    const int servono =
        WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, a, -1, nullptr, 0, nullptr, nullptr);
    std::string stretto(static_cast<size_t>(std::max(servono, 1)), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, a, -1, stretto.data(), servono, nullptr,
                        &sostituito);
    if (!sostituito) continue;
    errori << comando << "l'argomento n. " << i
           << " ha caratteri che Windows non sa passare a questo programma"
           << (i < argc ? " (arriva come \"" + std::string(argv[i]) + "\")" : std::string())
           << ": se e' una cartella, entra nella cartella e scrivi . al suo posto; se e' un "
              "nome, usa solo lettere dell'alfabeto latino\n";
    return std::nullopt;
  }
  return argomenti;
}
#else
fs::path cartella_eseguibile() {
  std::error_code ec;
  const fs::path eseguibile = fs::read_symlink("/proc/self/exe", ec);
  if (!ec) return eseguibile.parent_path();
  return fs::current_path();
}

void flussi_standard_binari() {}  // no translation to undo

// Arguments are bytes here, and reach the program as they were typed.
std::optional<std::vector<std::string>> argomenti_programma(int argc, char** argv, std::string_view,
                                                            std::ostream&) {
  return std::vector<std::string>(argv + 1, argv + argc);
}
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
