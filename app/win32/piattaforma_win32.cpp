#include "app/win32/piattaforma_win32.h"

#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <iostream>
#include <string>

#include "app/win32/finestre_win32.h"

namespace {

constexpr const wchar_t* classe_attesa = L"genera_scenario_attesa";

// The program's messages are UTF-8; a text that is not (a name from a
// Windows-1252 file) is read as Windows-1252, as the files are.
std::wstring in_wide(const std::string& testo) {
  const int n = static_cast<int>(std::min<size_t>(testo.size(), INT_MAX));
  if (n == 0) return {};
  UINT pagina = CP_UTF8;
  DWORD modo = MB_ERR_INVALID_CHARS;
  int servono = MultiByteToWideChar(pagina, modo, testo.data(), n, nullptr, 0);
  if (servono <= 0) {
    pagina = 1252;
    modo = 0;
    servono = MultiByteToWideChar(pagina, modo, testo.data(), n, nullptr, 0);
  }
  if (servono <= 0) return {};
  std::wstring wide(static_cast<size_t>(servono), L'\0');
  MultiByteToWideChar(pagina, modo, testo.data(), n, wide.data(), servono);
  return wide;
}

LRESULT CALLBACK procedura_attesa(HWND finestra, UINT messaggio, WPARAM w, LPARAM l) {
  // The window only says that the job is running: closing it would not stop
  // the job, so it goes when the job ends and not before.
  if (messaggio == WM_CLOSE) return 0;
  return DefWindowProcW(finestra, messaggio, w, l);
}

bool registra_classe(HINSTANCE istanza) {
  static const bool registrata = [istanza] {
    WNDCLASSEXW c{};
    c.cbSize = static_cast<UINT>(sizeof c);
    c.lpfnWndProc = procedura_attesa;
    c.hInstance = istanza;
    c.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_WAIT));
    c.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    c.lpszClassName = classe_attesa;
    return RegisterClassExW(&c) != 0;
  }();
  return registrata;
}

// The label's face: bold, at 24 points, in the face the desktop uses for its
// dialogs and message boxes (the bitmap face of older systems is gone).
HFONT crea_carattere() {
  LOGFONTW f{};
  NONCLIENTMETRICSW metriche{};
  metriche.cbSize = static_cast<UINT>(sizeof metriche);
  if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metriche.cbSize, &metriche, 0) &&
      metriche.lfMessageFont.lfFaceName[0] != L'\0')
    f = metriche.lfMessageFont;
  else
    lstrcpynW(f.lfFaceName, L"MS Shell Dlg 2", LF_FACESIZE);
  HDC schermo = GetDC(nullptr);
  const int dpi = schermo != nullptr ? GetDeviceCaps(schermo, LOGPIXELSY) : 96;
  if (schermo != nullptr) ReleaseDC(nullptr, schermo);
  f.lfHeight = -MulDiv(attesa::punti_carattere, dpi, 72);
  f.lfWidth = 0;
  f.lfWeight = FW_BOLD;
  f.lfItalic = FALSE;
  f.lfUnderline = FALSE;
  f.lfStrikeOut = FALSE;
  f.lfCharSet = DEFAULT_CHARSET;
  return CreateFontIndirectW(&f);
}

class finestra_attesa {
 public:
  // Shows the window and returns once it is on the screen with its label
  // drawn; `aperta()` is false when the system refused the window.
  finestra_attesa() {
    const HINSTANCE istanza = GetModuleHandleW(nullptr);
    if (!registra_classe(istanza)) return;
    constexpr DWORD stile = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    RECT r{0, 0, attesa::larghezza, attesa::altezza};
    AdjustWindowRectEx(&r, stile, FALSE, 0);
    finestra_ =
        CreateWindowExW(0, classe_attesa, attesa::titolo, stile, CW_USEDEFAULT, CW_USEDEFAULT,
                        r.right - r.left, r.bottom - r.top, nullptr, nullptr, istanza, nullptr);
    if (finestra_ == nullptr) return;
    HWND etichetta =
        CreateWindowExW(0, L"STATIC", attesa::testo, WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX,
                        attesa::etichetta_x, attesa::etichetta_y, attesa::etichetta_larghezza,
                        attesa::etichetta_altezza, finestra_, nullptr, istanza, nullptr);
    carattere_ = crea_carattere();
    if (etichetta != nullptr && carattere_ != nullptr)
      SendMessageW(etichetta, WM_SETFONT, reinterpret_cast<WPARAM>(carattere_), FALSE);

    // Whatever the person is typing into keeps the keyboard.
    ShowWindow(finestra_, SW_SHOWNOACTIVATE);
    // Painted here, once: the work that follows holds the thread and hands
    // nothing back to the window until the end.
    UpdateWindow(finestra_);
    GdiFlush();
  }

  ~finestra_attesa() {
    if (finestra_ != nullptr) DestroyWindow(finestra_);
    if (carattere_ != nullptr) DeleteObject(carattere_);
  }
  finestra_attesa(const finestra_attesa&) = delete;
  finestra_attesa& operator=(const finestra_attesa&) = delete;

  bool aperta() const { return finestra_ != nullptr; }
  HWND id() const { return finestra_; }

 private:
  HWND finestra_ = nullptr;
  HFONT carattere_ = nullptr;
};

class piattaforma_win32 final : public piattaforma {
 public:
  piattaforma_win32(std::unique_ptr<piattaforma> resto, bool box_per_i_file)
      : resto_(std::move(resto)), box_per_i_file_(box_per_i_file) {}

  std::filesystem::path cartella_programma() override { return resto_->cartella_programma(); }

  void mostra_attesa() override {
    if (attesa_) return;
    attesa_ = std::make_unique<finestra_attesa>();
    // A desktop that refuses the window still gets told that work is running.
    if (!attesa_->aperta()) {
      attesa_.reset();
      resto_->mostra_attesa();
    }
  }

  void chiudi_attesa() override { attesa_.reset(); }

  void messaggio_errore(const std::string& testo) override {
    if (!box(testo))
      resto_->messaggio_errore(testo);  // no box could be shown: the text is not lost
  }

  // Where no box is shown, the console has the line already.
  void messaggio_file(const std::string& testo) override {
    if (box_per_i_file_) box(testo);
  }

  void segnala(const std::string& testo) override { resto_->segnala(testo); }

 private:
  // Modal over the wait window, which stays up behind it until the end;
  // false when no box could be shown.
  bool box(const std::string& testo) {
    const HWND proprietaria = attesa_ ? attesa_->id() : nullptr;
    const std::wstring wide = in_wide(testo);
    return MessageBoxW(proprietaria, wide.c_str(), messaggio::titolo, MB_OK | MB_SETFOREGROUND) !=
           0;
  }

  std::unique_ptr<piattaforma> resto_;
  bool box_per_i_file_;
  std::unique_ptr<finestra_attesa> attesa_;
};

}  // namespace

bool desktop_visibile() {
  HWINSTA stazione = GetProcessWindowStation();
  if (stazione == nullptr) return false;
  USEROBJECTFLAGS flag{};
  DWORD n = 0;
  if (!GetUserObjectInformationW(stazione, UOI_FLAGS, &flag, sizeof flag, &n)) return false;
  return (flag.dwFlags & WSF_VISIBLE) != 0;
}

std::unique_ptr<piattaforma> crea_piattaforma_win32(std::unique_ptr<piattaforma> resto,
                                                    bool box_per_i_file) {
  return std::make_unique<piattaforma_win32>(std::move(resto), box_per_i_file);
}

bool collega_alla_console() {
  // Redirected by whoever started the program, or a console already.
  const auto aperto = [](DWORD quale) {
    const HANDLE h = GetStdHandle(quale);
    return h != nullptr && h != INVALID_HANDLE_VALUE && GetFileType(h) != FILE_TYPE_UNKNOWN;
  };
  const bool uscita = aperto(STD_OUTPUT_HANDLE);
  const bool errori = aperto(STD_ERROR_HANDLE);
  if (uscita && errori) return true;
  if (!AttachConsole(ATTACH_PARENT_PROCESS)) return errori;  // double-click: nobody to tell
  if (!errori && std::freopen("CONOUT$", "w", stderr) != nullptr) std::cerr.clear();
  if (!uscita && std::freopen("CONOUT$", "w", stdout) != nullptr) std::cout.clear();
  return true;
}
