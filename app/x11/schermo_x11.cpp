#include "app/x11/schermo_x11.h"

#include <X11/Xutil.h>

#include <cstdlib>

namespace {

// A protocol error (a focus request the window manager raced, a window
// already gone) must not end the run the way Xlib's default handler does.
int ignora_errore(Display*, XErrorEvent*) { return 0; }

// The nearest match to the font the windows were designed with, at a fixed
// 96 dots per inch so that points map to the pixel sizes of the layout.
XftFont* apri_carattere(Display* display, int numero, double punti, int peso) {
  // clang-format off
  return x11().XftFontOpen(display, numero,
                           XFT_FAMILY, XftTypeString, "MS Sans Serif",
                           XFT_FAMILY, XftTypeString, "sans-serif",
                           XFT_SIZE, XftTypeDouble, punti,
                           XFT_DPI, XftTypeDouble, 96.0,
                           XFT_WEIGHT, XftTypeInteger, peso,
                           nullptr);
  // clang-format on
}

unsigned long colore(const schermo_x11& s, const char* nome, unsigned long altrimenti) {
  XColor c;
  if (x11().XParseColor(s.display, s.colori, nome, &c) &&
      x11().XAllocColor(s.display, s.colori, &c))
    return c.pixel;
  return altrimenti;
}

}  // namespace

schermo_x11::~schermo_x11() {
  if (display == nullptr) return;
  if (carattere_attesa != nullptr) x11().XftFontClose(display, carattere_attesa);
  if (carattere_messaggio != nullptr) x11().XftFontClose(display, carattere_messaggio);
  if (nero_allocato) x11().XftColorFree(display, visual, colori, &nero);
  x11().XCloseDisplay(display);
}

void chiudi_schermo_x11::operator()(schermo_x11* schermo) const { delete schermo; }

schermo_x11_ptr apri_schermo_x11() {
  const char* nome = std::getenv("DISPLAY");
  if (nome == nullptr || *nome == '\0') return nullptr;
  // Only now, with a display to go to, are the client libraries loaded.
  if (!carica_funzioni_x11()) return nullptr;
  Display* display = x11().XOpenDisplay(nome);
  if (display == nullptr) return nullptr;

  x11().XSetErrorHandler(ignora_errore);
  schermo_x11_ptr s(new schermo_x11);
  s->display = display;
  s->numero = DefaultScreen(display);
  s->visual = DefaultVisual(display, s->numero);
  s->colori = DefaultColormap(display, s->numero);
  s->carattere_attesa = apri_carattere(display, s->numero, 24.0, XFT_WEIGHT_BOLD);
  s->carattere_messaggio = apri_carattere(display, s->numero, 9.0, XFT_WEIGHT_MEDIUM);
  if (s->carattere_attesa == nullptr || s->carattere_messaggio == nullptr) return nullptr;
  s->nero_allocato = x11().XftColorAllocName(display, s->visual, s->colori, "#000000", &s->nero);
  if (!s->nero_allocato) return nullptr;

  const unsigned long bianco = WhitePixel(display, s->numero);
  const unsigned long nero = BlackPixel(display, s->numero);
  s->sfondo = colore(*s, "#f0f0f0", bianco);
  s->faccia_bottone = colore(*s, "#e1e1e1", bianco);
  s->bordo_bottone = colore(*s, "#0078d7", nero);
  s->bottone_premuto = colore(*s, "#cce4f7", bianco);
  s->wm_protocols = x11().XInternAtom(display, "WM_PROTOCOLS", False);
  s->wm_delete_window = x11().XInternAtom(display, "WM_DELETE_WINDOW", False);
  return s;
}

int larghezza_testo(const schermo_x11& schermo, XftFont* carattere, const std::string& testo) {
  XGlyphInfo misure;
  x11().XftTextExtents8(schermo.display, carattere, reinterpret_cast<const FcChar8*>(testo.data()),
                        static_cast<int>(testo.size()), &misure);
  return misure.xOff;
}

void prepara_finestra(const schermo_x11& schermo, Window finestra, const char* titolo,
                      int larghezza, int altezza, const XPoint* posizione) {
  x11().XStoreName(schermo.display, finestra, titolo);

  XSizeHints* misure = x11().XAllocSizeHints();
  if (misure != nullptr) {
    misure->flags = PMinSize | PMaxSize;
    misure->min_width = misure->max_width = larghezza;
    misure->min_height = misure->max_height = altezza;
    if (posizione != nullptr) {
      misure->flags |= PPosition;
      misure->x = posizione->x;
      misure->y = posizione->y;
    }
    x11().XSetWMNormalHints(schermo.display, finestra, misure);
    x11().XFree(misure);
  }

  XClassHint classe{const_cast<char*>("genera_scenario"), const_cast<char*>("Genera_scenario")};
  x11().XSetClassHint(schermo.display, finestra, &classe);

  Atom protocolli = schermo.wm_delete_window;
  x11().XSetWMProtocols(schermo.display, finestra, &protocolli, 1);
}
