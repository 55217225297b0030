// The real windows, on a virtual display of the test's own. Where Xvfb (or,
// for synthetic input, xdotool) is not installed the tests say so and are
// skipped.
// GoogleTest goes before the X headers, whose macros (None, Bool) clash with it.
#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <functional>
#include <memory>

#include "app/scegli_piattaforma.h"
#include "app/x11/finestra_attesa.h"
#include "app/x11/messaggio_x11.h"
#include "testing/prova_piattaforma.h"
#include "testing/variabile_ambiente.h"
#include "testing/x11/schermo_virtuale.h"

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

constexpr unsigned long sfondo = 0xF0F0F0;

int scuri_in(const schermata& s, const rettangolo& r) {
  int n = 0;
  for (int y = r.y; y < r.y + r.altezza && y < s.altezza; ++y)
    for (int x = r.x; x < r.x + r.larghezza && x < s.larghezza; ++x) n += scuro(s.at(x, y));
  return n;
}

class FinestreX11 : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!trova_programma("Xvfb"))
      GTEST_SKIP() << "Xvfb non installato: prova delle finestre saltata";
    schermo_ = std::make_unique<schermo_virtuale>();
    ASSERT_TRUE(schermo_->pronto()) << "Xvfb installato ma non partito";
    d_ = XOpenDisplay(schermo_->nome().c_str());
    ASSERT_NE(d_, nullptr);
  }
  void TearDown() override {
    if (d_ != nullptr) XCloseDisplay(d_);
  }
  void richiedi_xdotool() {
    if (!trova_programma("xdotool")) GTEST_SKIP() << "xdotool non installato: prova saltata";
  }
  const std::string& display() const { return schermo_->nome(); }

  XWindowAttributes attributi(Window w) {
    XWindowAttributes a{};
    XGetWindowAttributes(d_, w, &a);
    return a;
  }

  std::unique_ptr<schermo_virtuale> schermo_;
  Display* d_ = nullptr;
};

TEST_F(FinestreX11, LaFinestraDiAttesaEDisegnataPrimaDelLavoroEScompareAllaFine) {
  processo p({PROVA_FINESTRA_EXE, "attesa"}, display());
  // Once mostra_attesa has returned the work may take the thread: from here
  // nothing is painted any more, so the label must already be on the screen.
  ASSERT_EQ(p.leggi_riga(20s), "pronta") << p.errori();
  const std::optional<Window> w = cerca_finestra(d_, attesa::titolo, 2s);
  ASSERT_TRUE(w);
  const XWindowAttributes a = attributi(*w);
  EXPECT_EQ(a.width, 280);
  EXPECT_EQ(a.height, 179);
  EXPECT_EQ(a.map_state, IsViewable);

  // The label's row, from its left edge to the window's right one.
  verifica_attesa_sullo_schermo(fotografa(d_, *w), sfondo, 64, 64, 280, 64 + 53);

  p.chiudi_ingresso();
  EXPECT_EQ(p.attendi(20s), 0) << p.errori();
  EXPECT_FALSE(cerca_finestra(d_, attesa::titolo, 0ms));
}

TEST_F(FinestreX11, LaPiattaformaDellaCorsaUsaLeFinestreQuandoLoSchermoRisponde) {
  variabile_ambiente v("DISPLAY", display());
  const auto p = crea_piattaforma();
  testing::internal::CaptureStderr();
  p->mostra_attesa();
  const std::string durante = testing::internal::GetCapturedStderr();
  EXPECT_EQ(durante, "") << "the wait message belongs in the window";
  EXPECT_TRUE(cerca_finestra(d_, attesa::titolo, 2s));

  // Diagnostics and the program's folder are still the console's.
  testing::internal::CaptureStderr();
  p->segnala("riga di prova");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "genera_scenario: riga di prova\n");
  EXPECT_EQ(p->cartella_programma(), cartella_eseguibile());

  p->chiudi_attesa();
  EXPECT_FALSE(cerca_finestra(d_, attesa::titolo, 0ms));
}

// ---- The error stop's box ----

// A run stopped by the error stop in a folder that already holds the compiled
// files of an earlier run.
class FermataConMessaggio : public FinestreX11 {
 protected:
  void SetUp() override {
    FinestreX11::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    for (const char* nome : compilati)
      scrivi_testo(cartella_ / nome, std::string("vecchio ") + nome);
    prepara_cartella();
    prima_ = cartella_.elenco();
    p_ = std::make_unique<processo>(
        std::vector<std::string>{PROVA_FINESTRA_EXE, modo(), cartella_.percorso().string()},
        display());
    const std::optional<Window> w = cerca_finestra(d_, messaggio::titolo, 20s);
    ASSERT_TRUE(w) << p_->errori();
    box_ = *w;
    // Input is sent only once the box is viewable and holds the keyboard.
    ASSERT_TRUE(attendi_che(
        [&] {
          Window fuoco;
          int modo;
          XGetInputFocus(d_, &fuoco, &modo);
          return attributi(box_).map_state == IsViewable && fuoco == box_;
        },
        10s));
  }

  // The process ended with the error stop's status, said nothing more and
  // left the earlier compiled files as they were.
  void verifica_fine_fermata() {
    EXPECT_EQ(p_->attendi(20s), 3);
    EXPECT_EQ(p_->errori(), "");
    EXPECT_EQ(cartella_.elenco(), prima_);
    for (const char* nome : compilati)
      EXPECT_EQ(leggi_testo(cartella_ / nome), std::string("vecchio ") + nome) << nome;
    EXPECT_FALSE(cerca_finestra(d_, messaggio::titolo, 0ms));
    EXPECT_FALSE(cerca_finestra(d_, attesa::titolo, 0ms));
  }

  virtual const char* modo() const { return "fermata"; }
  virtual void prepara_cartella() {}

  static constexpr const char* compilati[] = {"Ombrasca1_linea.dat", "Ombrasca1_5817.sim",
                                              "Ombrasca1_5817.dat"};
  cartella_temporanea cartella_;
  std::vector<std::string> prima_;
  std::unique_ptr<processo> p_;
  Window box_ = 0;
};

TEST_F(FermataConMessaggio, IlMessaggioEModaleSullaFinestraDiAttesaEMostraTestoEBottone) {
  richiedi_xdotool();
  const std::optional<Window> attesa_w = cerca_finestra(d_, attesa::titolo, 0ms);
  ASSERT_TRUE(attesa_w) << "the wait window stays up under the box";
  Window proprietaria = 0;
  ASSERT_TRUE(XGetTransientForHint(d_, box_, &proprietaria));
  EXPECT_EQ(proprietaria, *attesa_w);

  const XWindowAttributes a = attributi(box_);
  const rettangolo bottone = bottone_ok(a.width, a.height);
  const schermata s = fotografa(d_, box_);
  // The message on the upper part, "OK" on the button.
  EXPECT_GT(scuri_in(s, {0, 0, a.width, bottone.y}), 40);
  EXPECT_GT(
      scuri_in(s, {bottone.x + 8, bottone.y + 4, bottone.larghezza - 16, bottone.altezza - 8}), 10);

  ASSERT_EQ(esegui({"xdotool", "key", "Return"}, display()), 0);
  verifica_fine_fermata();
}

TEST_F(FermataConMessaggio, AltriTastiEClicFuoriDalBottoneNonLoChiudono) {
  richiedi_xdotool();
  const XWindowAttributes a = attributi(box_);
  const rettangolo b = bottone_ok(a.width, a.height);
  const std::string id = std::to_string(box_);
  const std::string cx = std::to_string(b.x + b.larghezza / 2);
  const std::string cy = std::to_string(b.y + b.altezza / 2);
  ASSERT_EQ(esegui({"xdotool", "key", "a", "space", "Tab"}, display()), 0);
  ASSERT_EQ(esegui({"xdotool", "mousemove", "--window", id, "5", "5", "click", "1"}, display()), 0);
  // Pressed on OK, then dragged off before the release.
  ASSERT_EQ(esegui({"xdotool", "mousemove", "--window", id, cx, cy, "mousedown", "1", "mousemove",
                    "--window", id, "3", "3", "mouseup", "1"},
                   display()),
            0);
  XSync(d_, False);
  EXPECT_EQ(p_->attendi(500ms), std::nullopt) << "the box must still be waiting";

  ASSERT_EQ(esegui({"xdotool", "key", "Escape"}, display()), 0);
  verifica_fine_fermata();
}

// A compiled file that cannot be written: a folder stands where it goes.
class GuastoConMessaggio : public FermataConMessaggio {
 protected:
  const char* modo() const override { return "guasto"; }
  void prepara_cartella() override {
    fs::remove(cartella_ / "Ombrasca1_5817.sim");
    fs::create_directory(cartella_ / "Ombrasca1_5817.sim");
  }
};

// The bands of rows that hold dark pixels: the lines of text in a rectangle.
int righe_scritte(const schermata& s, const rettangolo& r) {
  int righe = 0;
  bool prima_scura = false;
  for (int y = r.y; y < r.y + r.altezza; ++y) {
    const bool scura = scuri_in(s, {r.x, y, r.larghezza, 1}) > 0;
    righe += scura && !prima_scura;
    prima_scura = scura;
  }
  return righe;
}

TEST_F(GuastoConMessaggio, DiceIlFileEChCosaFareEFinisceConStatoQuattro) {
  richiedi_xdotool();
  const XWindowAttributes a = attributi(box_);
  const rettangolo bottone = bottone_ok(a.width, a.height);
  // The file on one line, what went wrong and what to do on the next ones.
  EXPECT_GE(righe_scritte(fotografa(d_, box_), {0, 0, a.width, bottone.y}), 2);
  EXPECT_LE(a.width, messaggio::larghezza_riga + 2 * messaggio::margine + 40);

  ASSERT_EQ(esegui({"xdotool", "key", "Return"}, display()), 0);
  EXPECT_EQ(p_->attendi(20s), 4);
  EXPECT_NE(p_->errori().find("Ombrasca1_5817.sim: è una cartella"), std::string::npos)
      << p_->errori();
  EXPECT_EQ(cartella_.elenco(), prima_);
  EXPECT_TRUE(fs::is_directory(cartella_ / "Ombrasca1_5817.sim"));
  for (const char* nome : {"Ombrasca1_linea.dat", "Ombrasca1_5817.dat"})
    EXPECT_EQ(leggi_testo(cartella_ / nome), std::string("vecchio ") + nome) << nome;
  EXPECT_FALSE(cerca_finestra(d_, messaggio::titolo, 0ms));
}

// Every way of dismissing the box ends the run the same way.
struct chiusura {
  const char* nome;
  std::function<void(Display*, Window, const std::string&)> fai;
};
void PrintTo(const chiusura& c, std::ostream* os) { *os << c.nome; }

void tasto(const std::string& nome, const std::string& display) {
  ASSERT_EQ(esegui({"xdotool", "key", nome}, display), 0);
}

void chiudi_dalla_cornice(Display* d, Window w, const std::string&) {
  // What a window manager sends when its close button is clicked.
  XEvent e{};
  e.xclient.type = ClientMessage;
  e.xclient.window = w;
  e.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
  e.xclient.format = 32;
  e.xclient.data.l[0] = static_cast<long>(XInternAtom(d, "WM_DELETE_WINDOW", False));
  e.xclient.data.l[1] = CurrentTime;
  XSendEvent(d, w, False, NoEventMask, &e);
  XSync(d, False);
}

void clic_su_ok(Display* d, Window w, const std::string& display) {
  XWindowAttributes a{};
  XGetWindowAttributes(d, w, &a);
  const rettangolo b = bottone_ok(a.width, a.height);
  ASSERT_EQ(esegui({"xdotool", "mousemove", "--window", std::to_string(w),
                    std::to_string(b.x + b.larghezza / 2), std::to_string(b.y + b.altezza / 2),
                    "click", "1"},
                   display),
            0);
}

class ChiusuraDelMessaggio : public FermataConMessaggio,
                             public ::testing::WithParamInterface<chiusura> {};

TEST_P(ChiusuraDelMessaggio, FinisceConStatoTreSenzaToccareICompilati) {
  richiedi_xdotool();
  GetParam().fai(d_, box_, display());
  verifica_fine_fermata();
}

INSTANTIATE_TEST_SUITE_P(
    FinestreX11, ChiusuraDelMessaggio,
    ::testing::Values(
        chiusura{"Invio", [](Display*, Window, const std::string& s) { tasto("Return", s); }},
        chiusura{"InvioDelTastierino",
                 [](Display*, Window, const std::string& s) { tasto("KP_Enter", s); }},
        chiusura{"Esc", [](Display*, Window, const std::string& s) { tasto("Escape", s); }},
        chiusura{"ClicSuOk", clic_su_ok}, chiusura{"BottoneDiChiusura", chiudi_dalla_cornice}),
    [](const auto& info) { return std::string(info.param.nome); });

}  // namespace
