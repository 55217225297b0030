// The programs as real processes on Windows. A process ended by uccidi is
// told from one that exited by itself through the exit code it is given,
// which no program of the project returns; SIGKILL stands for it in
// esito_processo. The size limit on files reaches the child through an
// environment variable that only the file layer of a test run reads.
#include <windows.h>

#include <stdexcept>
#include <string>

#include "testing/processo_prova.h"
#include "testing/prova_piattaforma.h"

namespace fs = std::filesystem;

namespace {

constexpr UINT codice_ucciso = 0xDEAD;
constexpr int numero_sigkill = 9;

// A test's argument as the child's wide command line: UTF-8, as the tests are
// written; bytes that are not UTF-8 go over one character each.
std::wstring largo(const std::string& s) {
  const int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, s.data(),
                                    static_cast<int>(s.size()), nullptr, 0);
  if (n <= 0) return fs::path(s).wstring();
  std::wstring w(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
  return w;
}

// The environment of this process, with the test's limit added, for the
// test build of a program (testing/limite_file_prova.cpp).
std::wstring ambiente_con_limite(long limite) {
  std::wstring blocco;
  if (wchar_t* tutto = GetEnvironmentStringsW()) {
    for (const wchar_t* v = tutto; *v != L'\0'; v += wcslen(v) + 1) {
      if (_wcsnicmp(v, L"SCENARIO_PROVA_LIMITE_FILE=", 27) == 0) continue;
      blocco.append(v);
      blocco += L'\0';
    }
    FreeEnvironmentStringsW(tutto);
  }
  blocco += L"SCENARIO_PROVA_LIMITE_FILE=" + std::to_wstring(limite);
  blocco += L'\0';
  return blocco;
}

HANDLE come_handle(void* h) { return static_cast<HANDLE>(h); }


// Whole-process suspension, which the system offers only through ntdll.
using operazione_processo = LONG(NTAPI*)(HANDLE);
void su_processo(HANDLE h, const char* nome) {
  const auto f = reinterpret_cast<operazione_processo>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), nome)));
  // A process that has ended is left as it is, as a signal would leave it.
  if (f == nullptr || (f(h) < 0 && WaitForSingleObject(h, 0) != WAIT_OBJECT_0))
    throw std::runtime_error(nome);
}

}  // namespace

STARTUPINFOW con_flussi(HANDLE ingresso, HANDLE uscita, HANDLE errore) {
  STARTUPINFOW avvio{};
  avvio.cb = sizeof avvio;
  avvio.dwFlags = STARTF_USESTDHANDLES;
  avvio.hStdInput = ingresso;
  avvio.hStdOutput = uscita;
  avvio.hStdError = errore;
  return avvio;
}

std::wstring tra_virgolette(const std::wstring& a) {
  // Backslashes are doubled only before a quote, as the C runtime reads them.
  std::wstring r = L"\"";
  size_t barre = 0;
  for (wchar_t c : a) {
    if (c == L'\\') {
      ++barre;
      continue;
    }
    r.append(c == L'"' ? barre * 2 + 1 : barre, L'\\');
    barre = 0;
    r += c;
  }
  r.append(barre * 2, L'\\');
  return r + L"\"";
}

std::wstring testo_sulla_console(const fs::path& eseguibile,
                                 const std::vector<std::string>& argomenti) {
  std::wstring riga = tra_virgolette(eseguibile.wstring());
  for (const std::string& a : argomenti) riga += L" " + tra_virgolette(largo(a));
  // A screen of this process's console, made for the child and never shown:
  // it keeps what the child wrote after the child ends, and a console the
  // tests were started from stays as it was. Without a console, one is made
  // for the while; so it is where the console cannot make another screen
  // (Wine's), and then its own screen serves. A console made here has a
  // window: hidden at once, and gone before the next test, or it would stand
  // before the windows that test looks for and take their keys.
  const auto nuova_console = [] {
    if (!AllocConsole()) return false;
    if (const HWND finestra = GetConsoleWindow()) ShowWindow(finestra, SW_HIDE);
    return true;
  };
  bool console_propria = nuova_console();
  SECURITY_ATTRIBUTES ereditabile{sizeof ereditabile, nullptr, TRUE};
  HANDLE schermo =
      CreateConsoleScreenBuffer(GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                &ereditabile, CONSOLE_TEXTMODE_BUFFER, nullptr);
  const bool staccata = schermo == INVALID_HANDLE_VALUE && !console_propria;
  if (staccata) {
    FreeConsole();
    console_propria = nuova_console();
    schermo =
        CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    &ereditabile, OPEN_EXISTING, 0, nullptr);
  }
  // As on an Italian Windows: the console's code page is not UTF-8, whatever
  // the system running the tests chose.
  const UINT pagina = GetConsoleOutputCP();
  SetConsoleOutputCP(850);
  const auto lascia = [&] {
    if (schermo != INVALID_HANDLE_VALUE) CloseHandle(schermo);
    SetConsoleOutputCP(pagina);
    if (console_propria) {
      const HWND finestra = GetConsoleWindow();
      FreeConsole();
      // The console's own process closes its window a moment later.
      for (int i = 0; finestra && IsWindow(finestra) && i < 500; ++i) Sleep(10);
    }
    if (staccata) AttachConsole(ATTACH_PARENT_PROCESS);
  };
  std::wstring testo;
  try {
    if (schermo == INVALID_HANDLE_VALUE) throw std::runtime_error("nessuno schermo di console");
    STARTUPINFOW avvio = con_flussi(nullptr, schermo, schermo);
    PROCESS_INFORMATION p{};
    if (!CreateProcessW(eseguibile.c_str(), riga.data(), nullptr, nullptr, TRUE, 0, nullptr,
                        nullptr, &avvio, &p))
      throw std::runtime_error("CreateProcessW " + eseguibile.string());
    WaitForSingleObject(p.hProcess, 60000);
    CloseHandle(p.hThread);
    CloseHandle(p.hProcess);
    CONSOLE_SCREEN_BUFFER_INFO informazioni{};
    if (!GetConsoleScreenBufferInfo(schermo, &informazioni))
      throw std::runtime_error("GetConsoleScreenBufferInfo");
    const SHORT larghezza = informazioni.dwSize.X;
    for (SHORT y = 0; y <= informazioni.dwCursorPosition.Y; ++y) {
      std::wstring riga_schermo(static_cast<size_t>(larghezza), L' ');
      DWORD letti = 0;
      ReadConsoleOutputCharacterW(schermo, riga_schermo.data(), static_cast<DWORD>(larghezza),
                                  COORD{0, y}, &letti);
      riga_schermo.resize(letti);
      riga_schermo.erase(riga_schermo.find_last_not_of(L' ') + 1);
      testo += riga_schermo + L"\n";
    }
  } catch (...) {
    lascia();
    throw;
  }
  lascia();
  return testo;
}

processo_avviato::processo_avviato(const fs::path& eseguibile,
                                   const std::vector<std::string>& argomenti,
                                   std::optional<long> limite_file) {
  std::wstring riga = tra_virgolette(eseguibile.wstring());
  for (const std::string& a : argomenti) riga += L" " + tra_virgolette(largo(a));

  SECURITY_ATTRIBUTES ereditabile{sizeof ereditabile, nullptr, TRUE};
  HANDLE lettura = nullptr, scrittura = nullptr;
  if (!CreatePipe(&lettura, &scrittura, &ereditabile, 1 << 16))
    throw std::runtime_error("CreatePipe");
  SetHandleInformation(lettura, HANDLE_FLAG_INHERIT, 0);
  HANDLE nulla =
      CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  &ereditabile, OPEN_EXISTING, 0, nullptr);

  STARTUPINFOW avvio = con_flussi(nulla, nulla, scrittura);
  std::wstring ambiente;
  if (limite_file) ambiente = ambiente_con_limite(*limite_file);
  PROCESS_INFORMATION p{};
  // Under an emulator on a loaded machine a start can fail now and then; it
  // is tried again before the test is failed for it.
  BOOL avviato = FALSE;
  DWORD errore = 0;
  for (int prova = 0; prova < 3 && !avviato; ++prova) {
    if (prova > 0) Sleep(200);
    avviato = CreateProcessW(eseguibile.c_str(), riga.data(), nullptr, nullptr, TRUE,
                             CREATE_UNICODE_ENVIRONMENT, limite_file ? ambiente.data() : nullptr,
                             nullptr, &avvio, &p);
    if (!avviato) errore = GetLastError();
  }
  CloseHandle(scrittura);
  if (nulla != INVALID_HANDLE_VALUE) CloseHandle(nulla);
  if (!avviato) {
    CloseHandle(lettura);
    throw std::runtime_error("CreateProcessW " + eseguibile.string() + ": errore n. " +
                             std::to_string(errore));
  }
  CloseHandle(p.hThread);
  processo_ = p.hProcess;
  tubo_ = lettura;
}

processo_avviato::~processo_avviato() {
  if (processo_ == nullptr) return;
  uccidi();
  attendi();
}

void processo_avviato::uccidi() {
  // Fails on a process that has already ended, which then counts as exited.
  if (processo_ != nullptr && TerminateProcess(come_handle(processo_), codice_ucciso))
    ucciso_ = true;
}

void processo_avviato::ferma() {
  if (processo_ != nullptr) su_processo(come_handle(processo_), "NtSuspendProcess");
}

void processo_avviato::riprendi() {
  if (processo_ != nullptr) su_processo(come_handle(processo_), "NtResumeProcess");
}

bool processo_avviato::finito() {
  return processo_ == nullptr || WaitForSingleObject(come_handle(processo_), 0) == WAIT_OBJECT_0;
}

namespace {
// What the pipe holds onto `testo`, waiting for more while the process runs;
// false once it has ended and all it wrote is read. The end of the process,
// not of the pipe, ends it: a helper the system starts beside a console
// program may hold the pipe's other end for longer.
bool leggi_ancora(HANDLE tubo, HANDLE processo, std::string& testo) {
  for (;;) {
    DWORD pronti = 0;
    if (!PeekNamedPipe(tubo, nullptr, 0, nullptr, &pronti, nullptr)) return false;
    if (pronti > 0) {
      char blocco[4096];
      DWORD n = 0;
      if (!ReadFile(tubo, blocco, pronti < sizeof blocco ? pronti : sizeof blocco, &n, nullptr) ||
          n == 0)
        return false;
      testo.append(blocco, n);
      return true;
    }
    if (WaitForSingleObject(processo, 5) == WAIT_OBJECT_0) {
      // Ended: anything it wrote last is in the pipe already.
      if (PeekNamedPipe(tubo, nullptr, 0, nullptr, &pronti, nullptr) && pronti > 0) continue;
      return false;
    }
  }
}
}  // namespace

std::string processo_avviato::prima_riga() {
  while (processo_ != nullptr && letti_.find('\n') == std::string::npos &&
         leggi_ancora(come_handle(tubo_), come_handle(processo_), letti_)) {
  }
  return letti_.substr(0, letti_.find('\n') + 1);
}

esito_processo processo_avviato::attendi_entro(std::chrono::milliseconds limite) {
  using orologio = std::chrono::steady_clock;
  const orologio::time_point scadenza = orologio::now() + limite;
  bool scaduto = false;
  while (processo_ != nullptr && WaitForSingleObject(come_handle(processo_), 0) != WAIT_OBJECT_0) {
    if (orologio::now() >= scadenza) {
      uccidi();
      scaduto = true;
      break;
    }
    // What it writes meanwhile is taken, so that a full pipe never holds it.
    DWORD pronti = 0;
    if (PeekNamedPipe(come_handle(tubo_), nullptr, 0, nullptr, &pronti, nullptr) && pronti > 0)
      leggi_ancora(come_handle(tubo_), come_handle(processo_), letti_);
    else
      Sleep(5);
  }
  esito_processo e = attendi();
  e.scaduto = scaduto;
  return e;
}

esito_processo processo_avviato::attendi() {
  esito_processo e;
  if (processo_ == nullptr) return e;
  e.errori = std::move(letti_);
  while (leggi_ancora(come_handle(tubo_), come_handle(processo_), e.errori)) {
  }
  CloseHandle(come_handle(tubo_));
  WaitForSingleObject(come_handle(processo_), INFINITE);
  DWORD codice = 0;
  GetExitCodeProcess(come_handle(processo_), &codice);
  CloseHandle(come_handle(processo_));
  processo_ = nullptr;
  tubo_ = nullptr;
  if (ucciso_ && codice == codice_ucciso) {
    e.segnale = numero_sigkill;
  } else {
    e.uscito = true;
    e.stato = static_cast<int>(codice);
  }
  return e;
}

tenuto_aperto::tenuto_aperto(const fs::path& file)
    : handle_(CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                          nullptr)) {
  if (handle_ == INVALID_HANDLE_VALUE) throw std::runtime_error("non si apre " + file.string());
}

tenuto_aperto::~tenuto_aperto() { CloseHandle(handle_); }
