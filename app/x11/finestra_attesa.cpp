#include "app/x11/finestra_attesa.h"

#include <chrono>
#include <string>
#include <thread>

namespace {

// Waits for the first exposure of a freshly mapped window. A window manager
// may keep a window from ever being exposed (started minimised, say), so the
// wait is bounded: the work must not hang on the desktop.
void attendi_esposizione(Display* display, Window finestra) {
  using orologio = std::chrono::steady_clock;
  const auto scadenza = orologio::now() + std::chrono::seconds(3);
  while (orologio::now() < scadenza) {
    while (x11().XPending(display) > 0) {
      XEvent evento;
      x11().XNextEvent(display, &evento);
      if (evento.type == Expose && evento.xexpose.window == finestra) return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
}

}  // namespace

finestra_attesa::finestra_attesa(schermo_x11& schermo) : schermo_(schermo) {
  Display* d = schermo.display;
  XSetWindowAttributes attributi{};
  attributi.background_pixel = schermo.sfondo;
  attributi.event_mask = ExposureMask;
  // The window is painted once and then left to itself while the work runs:
  // where the server can, it keeps the picture when something passes over it.
  attributi.backing_store = WhenMapped;
  finestra_ = x11().XCreateWindow(d, RootWindow(d, schermo.numero), 0, 0, attesa::larghezza,
                                  attesa::altezza, 0, CopyFromParent, InputOutput, CopyFromParent,
                                  CWBackPixel | CWEventMask | CWBackingStore, &attributi);
  prepara_finestra(schermo, finestra_, attesa::titolo, attesa::larghezza, attesa::altezza);
  disegno_ = x11().XftDrawCreate(d, finestra_, schermo.visual, schermo.colori);

  x11().XMapWindow(d, finestra_);
  attendi_esposizione(d, finestra_);
  disegna();
  // Everything must have reached the server before the work takes the thread.
  x11().XSync(d, False);
}

finestra_attesa::~finestra_attesa() {
  Display* d = schermo_.display;
  if (disegno_ != nullptr) x11().XftDrawDestroy(disegno_);
  x11().XDestroyWindow(d, finestra_);
  x11().XSync(d, False);
}

void finestra_attesa::disegna() {
  if (disegno_ == nullptr) return;
  XftFont* f = schermo_.carattere_attesa;
  const std::string testo = attesa::testo;
  // Text at the top left of the label's box, as a label lays it out.
  x11().XftDrawString8(
      disegno_, &schermo_.nero, f, attesa::etichetta_x, attesa::etichetta_y + f->ascent,
      reinterpret_cast<const FcChar8*>(testo.data()), static_cast<int>(testo.size()));
}
