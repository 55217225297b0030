#include <cstdio>
#include <iostream>

#include "sistema/piattaforma.h"
#include "sistema/utf8.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
// after windows.h, which it needs
#include <shellapi.h>

#include <algorithm>
#include <memory>
#include <streambuf>
#include <string>
#include <utility>
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

namespace {

// A console shows the characters of its code page, which for the accented
// letters is seldom UTF-8: text for a console goes through the wide API, a
// whole UTF-8 letter at a time. Text for a file or a pipe stays as bytes.
class flusso_console final : public std::streambuf {
 public:
  explicit flusso_console(HANDLE console) : console_(console) {}

 protected:
  int_type overflow(int_type c) override {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    byte_.push_back(traits_type::to_char_type(c));
    if (c == '\n' || byte_.size() >= 4096) scrivi();
    return c;
  }
  int sync() override {
    scrivi();
    return 0;
  }

 private:
  // Writes what makes whole letters; the start of a letter cut by the
  // buffer waits for the rest.
  void scrivi() {
    const size_t intere = lettere_intere(byte_);
    if (intere == 0) return;
    const std::wstring largo =
        testo_della_console(std::string_view(byte_).substr(0, intere), GetACP());
    DWORD scritti = 0;
    WriteConsoleW(console_, largo.data(), static_cast<DWORD>(largo.size()), &scritti, nullptr);
    byte_.erase(0, intere);
  }

  HANDLE console_;
  std::string byte_;
};

// The wide characters of `byte` in code page `pagina`; with
// MB_ERR_INVALID_CHARS, none when a byte does not belong there.
std::wstring in_caratteri(std::string_view byte, UINT pagina, DWORD modo) {
  const int n = static_cast<int>(byte.size());
  const int servono = MultiByteToWideChar(pagina, modo, byte.data(), n, nullptr, 0);
  if (servono <= 0) return {};
  std::wstring largo(static_cast<size_t>(servono), L'\0');
  MultiByteToWideChar(pagina, modo, byte.data(), n, largo.data(), servono);
  return largo;
}

}  // namespace

std::wstring testo_della_console(std::string_view byte, unsigned pagina) {
  // Most messages are UTF-8 throughout: one call.
  if (std::wstring tutto = in_caratteri(byte, CP_UTF8, MB_ERR_INVALID_CHARS);
      !tutto.empty() || byte.empty())
    return tutto;
  std::wstring largo;
  for (size_t i = 0; i < byte.size();) {
    // The letter that starts here if it is UTF-8, else the one byte.
    const auto b = static_cast<unsigned char>(byte[i]);
    const size_t lunga = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
    std::wstring lettera;
    if (lunga > 1 && i + lunga <= byte.size())
      lettera = in_caratteri(byte.substr(i, lunga), CP_UTF8, MB_ERR_INVALID_CHARS);
    if (lettera.empty() || b < 0x80) {
      lettera = in_caratteri(byte.substr(i, 1), b < 0x80 ? CP_UTF8 : pagina, 0);
      i += 1;
    } else {
      i += lunga;
    }
    largo += lettera.empty() ? std::wstring(1, L'\uFFFD') : lettera;
  }
  return largo;
}

void flussi_standard_binari() {
  // A program started with no console has no streams to set.
  for (std::FILE* flusso : {stdout, stderr}) {
    const int d = _fileno(flusso);
    if (d < 0) continue;
    std::fflush(flusso);
    _setmode(d, _O_BINARY);
  }
  // The streams that reach a console write to it as characters.
  const std::pair<DWORD, std::ostream*> flussi[] = {{STD_OUTPUT_HANDLE, &std::cout},
                                                    {STD_ERROR_HANDLE, &std::cerr}};
  for (const auto& [quale, flusso] : flussi) {
    const HANDLE h = GetStdHandle(quale);
    DWORD modo = 0;
    if (h == nullptr || h == INVALID_HANDLE_VALUE || !GetConsoleMode(h, &modo)) continue;
    // Never freed: the streams flush into it at the very end of the run,
    // after every static object is gone.
    static flusso_console* tenuti[2] = {};
    flusso_console*& f = tenuti[quale == STD_OUTPUT_HANDLE ? 0 : 1];
    if (f == nullptr) f = new flusso_console(h);
    flusso->flush();
    flusso->rdbuf(f);
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
           << ": se è una cartella, entra nella cartella e scrivi . al suo posto; se è un "
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

// No translation to undo; a terminal takes the UTF-8 bytes of the messages
// as they are, as a file does.
void flussi_standard_binari() {}

// Arguments are bytes here, and reach the program as they were typed.
std::optional<std::vector<std::string>> argomenti_programma(int argc, char** argv, std::string_view,
                                                            std::ostream&) {
  return std::vector<std::string>(argv + 1, argv + argc);
}
#endif

namespace {

// Every line names the program, as the tools' lines do; the line of a
// compiled source with a problem keeps the form that scripts read,
// "Errore n. C (posizione P m)" at its start.
class piattaforma_console final : public piattaforma {
 public:
  fs::path cartella_programma() override { return cartella_eseguibile(); }
  void mostra_attesa() override { std::cerr << nome << "attendere" << std::endl; }
  void chiudi_attesa() override {}
  // The error stop: " Errore n. " and the number.
  void messaggio_errore(const std::string& testo) override {
    std::cerr << "genera_scenario:" << testo << std::endl;
  }
  void segnala(const std::string& testo) override {
    if (!testo.starts_with("Errore n. ")) std::cerr << nome;
    std::cerr << testo << std::endl;
  }

 private:
  static constexpr std::string_view nome = "genera_scenario: ";
};

}  // namespace

std::unique_ptr<piattaforma> crea_piattaforma_console() {
  return std::make_unique<piattaforma_console>();
}
