// The real Win32 windows, looked at from outside the process that shows them
// (under Wine, on the virtual display it is given). Where this process has no
// visible desktop the tests say so and are skipped.
#include "app/win32/piattaforma_win32.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "app/scegli_piattaforma.h"
#include "app/win32/finestre_win32.h"
#include "testing/processo_prova.h"
#include "testing/prova_piattaforma.h"
#include "testing/schermata.h"

namespace {

using namespace std::chrono_literals;
using std::chrono::milliseconds;
namespace fs = std::filesystem;

// A child process with its standard input, output and error on pipes.
// Killed if still running at the end.
class processo {
 public:
  explicit processo(const std::vector<fs::path>& argomenti) {
    SECURITY_ATTRIBUTES eredita{sizeof eredita, nullptr, TRUE};
    HANDLE in_figlio = nullptr, out_figlio = nullptr, err_figlio = nullptr;
    if (!CreatePipe(&in_figlio, &ingresso_, &eredita, 0) ||
        !CreatePipe(&uscita_, &out_figlio, &eredita, 0) ||
        !CreatePipe(&errore_, &err_figlio, &eredita, 1 << 16))
      throw std::runtime_error("CreatePipe");
    for (HANDLE h : {ingresso_, uscita_, errore_}) SetHandleInformation(h, HANDLE_FLAG_INHERIT, 0);
    std::wstring riga;
    for (const fs::path& a : argomenti)
      riga += (riga.empty() ? L"" : L" ") + tra_virgolette(a.wstring());
    STARTUPINFOW avvio = con_flussi(in_figlio, out_figlio, err_figlio);
    PROCESS_INFORMATION info{};
    const BOOL partito = CreateProcessW(nullptr, riga.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                        nullptr, &avvio, &info);
    for (HANDLE h : {in_figlio, out_figlio, err_figlio}) CloseHandle(h);
    if (!partito) throw std::runtime_error("CreateProcessW");
    CloseHandle(info.hThread);
    processo_ = info.hProcess;
    pid_ = info.dwProcessId;
  }
  ~processo() {
    if (!attendi(0ms)) {
      TerminateProcess(processo_, 255);
      WaitForSingleObject(processo_, 5000);
    }
    for (HANDLE h : {ingresso_, uscita_, errore_, processo_})
      if (h != nullptr) CloseHandle(h);
  }
  processo(const processo&) = delete;
  processo& operator=(const processo&) = delete;

  DWORD pid() const { return pid_; }

  // The next line of standard output, without its end; none by the limit.
  std::optional<std::string> leggi_riga(milliseconds limite) {
    std::optional<std::string> riga;
    attendi_che(
        [&] {
          leggi_disponibile(uscita_, letto_);
          const size_t fine = letto_.find('\n');
          if (fine == std::string::npos) return false;
          riga = letto_.substr(0, fine);
          letto_.erase(0, fine + 1);
          if (!riga->empty() && riga->back() == '\r') riga->pop_back();
          return true;
        },
        limite);
    return riga;
  }

  void chiudi_ingresso() {
    CloseHandle(ingresso_);
    ingresso_ = nullptr;
  }

  // The exit status; none if still running by the limit.
  std::optional<int> attendi(milliseconds limite) {
    leggi_disponibile(errore_, errori_);
    if (WaitForSingleObject(processo_, static_cast<DWORD>(limite.count())) != WAIT_OBJECT_0)
      return std::nullopt;
    DWORD stato = 0;
    GetExitCodeProcess(processo_, &stato);
    return static_cast<int>(stato);
  }

  std::string errori() {
    leggi_disponibile(errore_, errori_);
    return errori_;
  }

 private:
  // Reads what is in the pipe without waiting for more.
  static void leggi_disponibile(HANDLE tubo, std::string& dove) {
    DWORD pronti = 0;
    while (PeekNamedPipe(tubo, nullptr, 0, nullptr, &pronti, nullptr) && pronti > 0) {
      char blocco[4096];
      DWORD letti = 0;
      if (!ReadFile(tubo, blocco, std::min<DWORD>(pronti, sizeof blocco), &letti, nullptr) ||
          letti == 0)
        return;
      dove.append(blocco, letti);
    }
  }

  HANDLE ingresso_ = nullptr, uscita_ = nullptr, errore_ = nullptr, processo_ = nullptr;
  DWORD pid_ = 0;
  std::string letto_, errori_;
};

// The top-level window of a process with that class (any, when null) and
// title, waiting up to the limit for it to be there and visible.
HWND cerca_finestra(DWORD pid, const wchar_t* classe, const wchar_t* titolo, milliseconds limite) {
  struct ricerca {
    DWORD pid;
    const wchar_t* classe;
    const wchar_t* titolo;
    HWND trovata = nullptr;
  } r{pid, classe, titolo};
  attendi_che(
      [&] {
        EnumWindows(
            [](HWND w, LPARAM l) -> BOOL {
              auto& r = *reinterpret_cast<ricerca*>(l);
              DWORD di = 0;
              GetWindowThreadProcessId(w, &di);
              wchar_t nome[256] = L"", titolo[256] = L"";
              GetClassNameW(w, nome, 256);
              GetWindowTextW(w, titolo, 256);
              if (di != r.pid || !IsWindowVisible(w) || std::wstring(titolo) != r.titolo ||
                  (r.classe != nullptr && std::wstring(nome) != r.classe))
                return TRUE;
              r.trovata = w;
              return FALSE;
            },
            reinterpret_cast<LPARAM>(&r));
        return r.trovata != nullptr;
      },
      limite);
  return r.trovata;
}

std::vector<HWND> figlie(HWND w, const wchar_t* classe) {
  struct ricerca {
    const wchar_t* classe;
    std::vector<HWND> trovate;
  } r{classe, {}};
  EnumChildWindows(
      w,
      [](HWND f, LPARAM l) -> BOOL {
        auto& r = *reinterpret_cast<ricerca*>(l);
        wchar_t nome[256] = L"";
        GetClassNameW(f, nome, 256);
        if (IsWindowVisible(f) && lstrcmpiW(nome, r.classe) == 0) r.trovate.push_back(f);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&r));
  return r.trovate;
}

std::wstring testo_di(HWND w) {
  wchar_t t[256] = L"";
  GetWindowTextW(w, t, 256);
  return t;
}

// Where a window lies in its parent's client area.
RECT rettangolo_in(HWND finestra, HWND genitore) {
  RECT r{};
  GetWindowRect(finestra, &r);
  MapWindowPoints(nullptr, genitore, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// What the screen shows of a window's client area: taken from the screen,
// not asked of the window.
schermata fotografa(HWND finestra) {
  RECT c{};
  GetClientRect(finestra, &c);
  POINT origine{0, 0};
  ClientToScreen(finestra, &origine);
  schermata s;
  s.larghezza = c.right;
  s.altezza = c.bottom;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = s.larghezza;
  info.bmiHeader.biHeight = -s.altezza;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bit = nullptr;
  HDC schermo = GetDC(nullptr);
  HDC memoria = CreateCompatibleDC(schermo);
  HBITMAP immagine = CreateDIBSection(schermo, &info, DIB_RGB_COLORS, &bit, nullptr, 0);
  if (immagine != nullptr) {
    HGDIOBJ prima = SelectObject(memoria, immagine);
    BitBlt(memoria, 0, 0, s.larghezza, s.altezza, schermo, origine.x, origine.y, SRCCOPY);
    GdiFlush();
    const auto* p = static_cast<const uint32_t*>(bit);
    s.pixel.assign(p, p + static_cast<size_t>(s.larghezza) * s.altezza);
    for (unsigned long& v : s.pixel) v &= 0xFFFFFF;
    SelectObject(memoria, prima);
    DeleteObject(immagine);
  }
  DeleteDC(memoria);
  ReleaseDC(nullptr, schermo);
  return s;
}

unsigned rgb_di_sistema(int indice) {
  const COLORREF c = GetSysColor(indice);
  return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

class FinestreWin32 : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!desktop_visibile())
      GTEST_SKIP() << "nessun desktop visibile per questo processo: prova delle finestre saltata";
  }
};

TEST_F(FinestreWin32, LaFinestraDiAttesaEDisegnataPrimaDelLavoroEScompareAllaFine) {
  processo p({PROVA_FINESTRA_EXE, "attesa"});
  // Once mostra_attesa has returned the work may take the thread: from here
  // the window is not painted again, so the label must already be on screen.
  ASSERT_EQ(p.leggi_riga(30s), "pronta") << p.errori();
  const HWND w = cerca_finestra(p.pid(), nullptr, attesa::titolo, 2s);
  ASSERT_NE(w, nullptr);
  EXPECT_NE(GetForegroundWindow(), w) << "shown without taking the keyboard";
  RECT c{};
  GetClientRect(w, &c);
  EXPECT_EQ(c.right, attesa::larghezza);
  EXPECT_EQ(c.bottom, attesa::altezza);

  const std::vector<HWND> etichette = figlie(w, L"Static");
  ASSERT_EQ(etichette.size(), 1u);
  EXPECT_EQ(testo_di(etichette[0]), attesa::testo);
  const RECT e = rettangolo_in(etichette[0], w);
  EXPECT_EQ(e.left, 64);
  EXPECT_EQ(e.top, 64);
  EXPECT_EQ(e.right - e.left, 177);
  EXPECT_EQ(e.bottom - e.top, 53);

  verifica_attesa_sullo_schermo(fotografa(w), rgb_di_sistema(COLOR_BTNFACE), e.left, e.top, e.right,
                                e.bottom);

  p.chiudi_ingresso();
  EXPECT_EQ(p.attendi(20s), 0) << p.errori();
  EXPECT_EQ(cerca_finestra(p.pid(), nullptr, attesa::titolo, 0ms), nullptr);
}

TEST_F(FinestreWin32, LaPiattaformaDellaCorsaUsaLeFinestre) {
  const auto p = crea_piattaforma();
  testing::internal::CaptureStderr();
  p->mostra_attesa();
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << "the wait message belongs in the window";
  const HWND w = cerca_finestra(GetCurrentProcessId(), nullptr, attesa::titolo, 2s);
  ASSERT_NE(w, nullptr);

  // 24-point bold, whatever the dialog face of the desktop.
  const std::vector<HWND> etichette = figlie(w, L"Static");
  ASSERT_EQ(etichette.size(), 1u);
  const auto carattere = reinterpret_cast<HFONT>(SendMessageW(etichette[0], WM_GETFONT, 0, 0));
  ASSERT_NE(carattere, nullptr);
  LOGFONTW f{};
  ASSERT_NE(GetObjectW(carattere, sizeof f, &f), 0);
  HDC schermo = GetDC(nullptr);
  EXPECT_EQ(f.lfHeight, -MulDiv(24, GetDeviceCaps(schermo, LOGPIXELSY), 72));
  ReleaseDC(nullptr, schermo);
  EXPECT_EQ(f.lfWeight, FW_BOLD);
  EXPECT_NE(f.lfFaceName[0], L'\0');

  // Diagnostics and the program's folder are still the console's.
  testing::internal::CaptureStderr();
  p->segnala("riga di prova");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "genera_scenario: riga di prova\n");
  EXPECT_EQ(p->cartella_programma(), cartella_eseguibile());

  p->chiudi_attesa();
  EXPECT_EQ(cerca_finestra(GetCurrentProcessId(), nullptr, attesa::titolo, 0ms), nullptr);
}

// ---- The error stop's box ----

// A run stopped by the error stop in a folder that already holds the
// compiled files of an earlier run.
class FermataConMessaggioWin32 : public FinestreWin32 {
 protected:
  void SetUp() override {
    FinestreWin32::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    for (const char* nome : compilati)
      scrivi_testo(cartella_ / nome, std::string("vecchio ") + nome);
    prepara_cartella();
    prima_ = cartella_.elenco();
    p_ = std::make_unique<processo>(
        std::vector<fs::path>{PROVA_FINESTRA_EXE, modo(), cartella_.percorso()});
    box_ = cerca_finestra(p_->pid(), L"#32770", messaggio::titolo, 30s);
    ASSERT_NE(box_, nullptr) << p_->errori();
    // Keys are sent only once the box holds the keyboard.
    ASSERT_TRUE(attendi_che([&] { return GetForegroundWindow() == box_; }, 10s));
  }

  // The process ended with the error stop's status, said nothing more and
  // left the earlier compiled files as they were.
  void verifica_fine_fermata() {
    EXPECT_EQ(p_->attendi(20s), 3);
    EXPECT_EQ(p_->errori(), "");
    EXPECT_EQ(cartella_.elenco(), prima_);
    for (const char* nome : compilati)
      EXPECT_EQ(leggi_testo(cartella_ / nome), std::string("vecchio ") + nome) << nome;
    EXPECT_EQ(cerca_finestra(p_->pid(), nullptr, messaggio::titolo, 0ms), nullptr);
    EXPECT_EQ(cerca_finestra(p_->pid(), nullptr, attesa::titolo, 0ms), nullptr);
  }

  virtual const char* modo() const { return "fermata"; }
  virtual void prepara_cartella() {}

  static constexpr const char* compilati[] = {"Ombrasca1_linea.dat", "Ombrasca1_5817.sim",
                                              "Ombrasca1_5817.dat"};
  cartella_temporanea cartella_;
  std::vector<std::string> prima_;
  std::unique_ptr<processo> p_;
  HWND box_ = nullptr;
};

TEST_F(FermataConMessaggioWin32, IlMessaggioEModaleSullaFinestraDiAttesaConTestoEUnSoloBottone) {
  const HWND attesa_w = cerca_finestra(p_->pid(), nullptr, attesa::titolo, 0ms);
  ASSERT_NE(attesa_w, nullptr) << "the wait window stays up under the box";
  EXPECT_EQ(GetWindow(box_, GW_OWNER), attesa_w);
  EXPECT_FALSE(IsWindowEnabled(attesa_w)) << "modal: the window under it takes no input";

  // The message box's own text control.
  wchar_t testo[256] = L"";
  GetDlgItemTextW(box_, 0xFFFF, testo, 256);
  EXPECT_STREQ(testo, L" Errore n. 1250");
  const std::vector<HWND> bottoni = figlie(box_, L"Button");
  ASSERT_EQ(bottoni.size(), 1u);
  EXPECT_EQ(GetDlgCtrlID(bottoni[0]), IDOK);
  EXPECT_EQ(testo_di(bottoni[0]), L"OK");

  SendMessageW(bottoni[0], BM_CLICK, 0, 0);
  verifica_fine_fermata();
}

// A compiled file that cannot be written (a folder stands where it goes) is
// told in the same box: a double click opens no console to tell it in.
class GuastoConMessaggioWin32 : public FermataConMessaggioWin32 {
 protected:
  const char* modo() const override { return "guasto"; }
  void prepara_cartella() override {
    fs::remove(cartella_ / "Ombrasca1_5817.sim");
    fs::create_directory(cartella_ / "Ombrasca1_5817.sim");
  }
};

TEST_F(GuastoConMessaggioWin32, DiceIlFileEChCosaFareEFinisceConStatoQuattro) {
  wchar_t testo[1024] = L"";
  GetDlgItemTextW(box_, 0xFFFF, testo, 1024);
  const std::wstring t = testo;
  EXPECT_TRUE(t.starts_with(L"Impossibile scrivere o leggere ")) << fs::path(t).string();
  EXPECT_NE(t.find(L"Ombrasca1_5817.sim:\nè una cartella"), std::wstring::npos)
      << fs::path(t).string();
  const std::vector<HWND> bottoni = figlie(box_, L"Button");
  ASSERT_EQ(bottoni.size(), 1u);
  SendMessageW(bottoni[0], BM_CLICK, 0, 0);

  EXPECT_EQ(p_->attendi(20s), 4);
  EXPECT_EQ(cartella_.elenco(), prima_);
  EXPECT_TRUE(fs::is_directory(cartella_ / "Ombrasca1_5817.sim"));
  for (const char* nome : {"Ombrasca1_linea.dat", "Ombrasca1_5817.dat"})
    EXPECT_EQ(leggi_testo(cartella_ / nome), std::string("vecchio ") + nome) << nome;
}

// Every way of dismissing the box ends the run the same way.
struct chiusura {
  const char* nome;
  std::function<void(HWND)> fai;
};
void PrintTo(const chiusura& c, std::ostream* os) { *os << c.nome; }

// A key pressed and released on the keyboard, as the person would.
void tasto(WORD codice) {
  INPUT i[2]{};
  i[0].type = i[1].type = INPUT_KEYBOARD;
  i[0].ki.wVk = i[1].ki.wVk = codice;
  i[1].ki.dwFlags = KEYEVENTF_KEYUP;
  ASSERT_EQ(SendInput(2, i, sizeof(INPUT)), 2u);
}

// A click of the left button on the middle of the box's OK button.
void clic_su_ok(HWND box) {
  const HWND ok = GetDlgItem(box, IDOK);
  ASSERT_NE(ok, nullptr);
  RECT r{};
  GetWindowRect(ok, &r);
  const POINT mezzo{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  ASSERT_TRUE(SetCursorPos(mezzo.x, mezzo.y));
  // The pointer may get there a moment later (under Wine it is moved on the
  // display first): a click sent before would land where it was.
  ASSERT_TRUE(attendi_che(
      [&] {
        POINT c{};
        return GetCursorPos(&c) && c.x == mezzo.x && c.y == mezzo.y && WindowFromPoint(c) == ok;
      },
      10s));
  INPUT i[2]{};
  i[0].type = i[1].type = INPUT_MOUSE;
  i[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  i[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  ASSERT_EQ(SendInput(2, i, sizeof(INPUT)), 2u);
}

class ChiusuraDelMessaggioWin32 : public FermataConMessaggioWin32,
                                  public ::testing::WithParamInterface<chiusura> {};

TEST_P(ChiusuraDelMessaggioWin32, FinisceConStatoTreSenzaToccareICompilati) {
  GetParam().fai(box_);
  verifica_fine_fermata();
}

INSTANTIATE_TEST_SUITE_P(FinestreWin32, ChiusuraDelMessaggioWin32,
                         ::testing::Values(chiusura{"ClicSuOk", clic_su_ok},
                                           chiusura{"Invio", [](HWND) { tasto(VK_RETURN); }},
                                           chiusura{"Esc", [](HWND) { tasto(VK_ESCAPE); }}),
                         [](const auto& info) { return std::string(info.param.nome); });

}  // namespace
