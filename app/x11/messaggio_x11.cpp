#include "app/x11/messaggio_x11.h"

#include <X11/Xatom.h>
#include <X11/keysym.h>

#include <algorithm>
#include <vector>

disposizione_messaggio disponi_messaggio(int larghezza_testo, int altezza_testo) {
  using namespace messaggio;
  disposizione_messaggio d;
  d.larghezza =
      std::max({larghezza_minima, larghezza_testo + 2 * margine, bottone_larghezza + 2 * margine});
  d.altezza = margine + altezza_testo + sopra_bottone + bottone_altezza + sotto_bottone;
  d.testo = {margine, margine, larghezza_testo, altezza_testo};
  d.bottone = bottone_ok(d.larghezza, d.altezza);
  return d;
}

rettangolo bottone_ok(int larghezza, int altezza) {
  using namespace messaggio;
  return {(larghezza - bottone_larghezza) / 2, altezza - sotto_bottone - bottone_altezza,
          bottone_larghezza, bottone_altezza};
}

namespace {

// The text in lines no wider than `massima` pixels where its words allow:
// broken at its own line ends, then between words.
// The messages are UTF-8; the face is drawn from Latin-1 bytes. A letter
// outside Latin-1 shows as '?'; a byte that begins no UTF-8 letter is kept,
// as a Windows-1252 text has it.
std::string in_latin1(const std::string& testo) {
  std::string r;
  for (size_t i = 0; i < testo.size(); ++i) {
    const auto c = static_cast<unsigned char>(testo[i]);
    const auto seguito = [&](size_t k) {
      return k < testo.size() && (static_cast<unsigned char>(testo[k]) & 0xC0) == 0x80;
    };
    const size_t altri = c >= 0xC2 && c <= 0xDF   ? 1
                         : c >= 0xE0 && c <= 0xEF ? 2
                         : c >= 0xF0 && c <= 0xF4 ? 3
                                                  : 0;
    bool tutti = altri > 0;
    for (size_t k = 1; k <= altri; ++k) tutti = tutti && seguito(i + k);
    if (!tutti) {
      r += testo[i];
      continue;
    }
    r += altri == 1 && c <= 0xC3
             ? static_cast<char>(((c & 0x1F) << 6) |
                                 (static_cast<unsigned char>(testo[i + 1]) & 0x3F))
             : '?';
    i += altri;
  }
  return r;
}

std::vector<std::string> a_capo(const schermo_x11& schermo, XftFont* f, const std::string& testo,
                                int massima) {
  std::vector<std::string> righe;
  size_t inizio = 0;
  for (;;) {
    const size_t fine = std::min(testo.find('\n', inizio), testo.size());
    std::string riga;
    size_t parola = inizio;
    while (parola < fine) {
      size_t dopo = testo.find(' ', parola + 1);
      dopo = dopo == std::string::npos || dopo > fine ? fine : dopo;
      const std::string con = riga + testo.substr(parola, dopo - parola);
      if (!riga.empty() && larghezza_testo(schermo, f, con) > massima) {
        righe.push_back(riga);
        riga = testo.substr(parola + 1, dopo - parola - 1);  // the blank stays at the break
      } else {
        riga = con;
      }
      parola = dopo;
    }
    righe.push_back(riga);
    if (fine == testo.size()) return righe;
    inizio = fine + 1;
  }
}

class finestra_messaggio {
 public:
  finestra_messaggio(schermo_x11& schermo, const std::string& testo, finestra_attesa* proprietaria);
  ~finestra_messaggio();
  finestra_messaggio(const finestra_messaggio&) = delete;
  finestra_messaggio& operator=(const finestra_messaggio&) = delete;

  // Handles events until the box is dismissed.
  void attendi_chiusura();

 private:
  void disegna();
  void scrivi(const std::string& testo, int x, int y_alto);
  void segna_modale();

  schermo_x11& schermo_;
  std::vector<std::string> righe_;
  finestra_attesa* proprietaria_;
  disposizione_messaggio disposizione_;
  Window finestra_ = 0;
  GC gc_ = nullptr;
  XftDraw* disegno_ = nullptr;
  bool premuto_ = false;    // the OK button is held down
  bool distrutta_ = false;  // someone else destroyed the window
};

finestra_messaggio::finestra_messaggio(schermo_x11& schermo, const std::string& testo,
                                       finestra_attesa* proprietaria)
    : schermo_(schermo),
      righe_(a_capo(schermo, schermo.carattere_messaggio, in_latin1(testo),
                    messaggio::larghezza_riga)),
      proprietaria_(proprietaria) {
  Display* d = schermo.display;
  XftFont* f = schermo.carattere_messaggio;
  int larghezza = 0;
  for (const std::string& r : righe_)
    larghezza = std::max(larghezza, larghezza_testo(schermo, f, r));
  disposizione_ =
      disponi_messaggio(larghezza, static_cast<int>(righe_.size()) * (f->ascent + f->descent));

  // Centred on the screen, as a message box stands.
  const XPoint posizione{static_cast<short>(std::max(
                             0, (DisplayWidth(d, schermo.numero) - disposizione_.larghezza) / 2)),
                         static_cast<short>(std::max(
                             0, (DisplayHeight(d, schermo.numero) - disposizione_.altezza) / 2))};
  XSetWindowAttributes attributi{};
  attributi.background_pixel = schermo.sfondo;
  attributi.event_mask =
      ExposureMask | KeyPressMask | ButtonPressMask | ButtonReleaseMask | StructureNotifyMask;
  finestra_ =
      x11().XCreateWindow(d, RootWindow(d, schermo.numero), posizione.x, posizione.y,
                          disposizione_.larghezza, disposizione_.altezza, 0, CopyFromParent,
                          InputOutput, CopyFromParent, CWBackPixel | CWEventMask, &attributi);
  prepara_finestra(schermo, finestra_, messaggio::titolo, disposizione_.larghezza,
                   disposizione_.altezza, &posizione);
  segna_modale();
  gc_ = x11().XCreateGC(d, finestra_, 0, nullptr);
  disegno_ = x11().XftDrawCreate(d, finestra_, schermo.visual, schermo.colori);
  x11().XMapRaised(d, finestra_);
}

finestra_messaggio::~finestra_messaggio() {
  Display* d = schermo_.display;
  if (disegno_ != nullptr) x11().XftDrawDestroy(disegno_);
  if (gc_ != nullptr) x11().XFreeGC(d, gc_);
  if (!distrutta_) x11().XDestroyWindow(d, finestra_);
  x11().XSync(d, False);
}

// Tells the window manager that this is a dialog that blocks the wait window.
void finestra_messaggio::segna_modale() {
  Display* d = schermo_.display;
  if (proprietaria_ != nullptr) x11().XSetTransientForHint(d, finestra_, proprietaria_->id());
  Atom tipo = x11().XInternAtom(d, "_NET_WM_WINDOW_TYPE_DIALOG", False);
  x11().XChangeProperty(d, finestra_, x11().XInternAtom(d, "_NET_WM_WINDOW_TYPE", False), XA_ATOM,
                        32, PropModeReplace, reinterpret_cast<unsigned char*>(&tipo), 1);
  Atom stato = x11().XInternAtom(d, "_NET_WM_STATE_MODAL", False);
  x11().XChangeProperty(d, finestra_, x11().XInternAtom(d, "_NET_WM_STATE", False), XA_ATOM, 32,
                        PropModeReplace, reinterpret_cast<unsigned char*>(&stato), 1);
}

void finestra_messaggio::scrivi(const std::string& testo, int x, int y_alto) {
  x11().XftDrawString8(disegno_, &schermo_.nero, schermo_.carattere_messaggio, x,
                       y_alto + schermo_.carattere_messaggio->ascent,
                       reinterpret_cast<const FcChar8*>(testo.data()),
                       static_cast<int>(testo.size()));
}

void finestra_messaggio::disegna() {
  Display* d = schermo_.display;
  const rettangolo& b = disposizione_.bottone;
  x11().XSetForeground(d, gc_, premuto_ ? schermo_.bottone_premuto : schermo_.faccia_bottone);
  x11().XFillRectangle(d, finestra_, gc_, b.x, b.y, b.larghezza, b.altezza);
  x11().XSetForeground(d, gc_, schermo_.bordo_bottone);
  x11().XDrawRectangle(d, finestra_, gc_, b.x, b.y, b.larghezza - 1, b.altezza - 1);

  XftFont* f = schermo_.carattere_messaggio;
  for (size_t i = 0; i < righe_.size(); ++i)
    scrivi(righe_[i], disposizione_.testo.x,
           disposizione_.testo.y + static_cast<int>(i) * (f->ascent + f->descent));
  const int larghezza_ok = larghezza_testo(schermo_, f, messaggio::testo_bottone);
  scrivi(messaggio::testo_bottone, b.x + (b.larghezza - larghezza_ok) / 2,
         b.y + (b.altezza - (f->ascent + f->descent)) / 2);
}

void finestra_messaggio::attendi_chiusura() {
  Display* d = schermo_.display;
  bool fuoco_dato = false;
  for (;;) {
    XEvent e;
    x11().XNextEvent(d, &e);
    if (e.xany.window != finestra_) {
      // While the box is up the wait window is still the program's: keep it painted.
      if (proprietaria_ != nullptr && e.type == Expose && e.xexpose.window == proprietaria_->id() &&
          e.xexpose.count == 0)
        proprietaria_->disegna();
      continue;
    }
    switch (e.type) {
      case Expose:
        if (e.xexpose.count != 0) break;
        disegna();
        // A window can take the keyboard only once it is viewable, which its
        // first exposure proves.
        if (!fuoco_dato) {
          x11().XSetInputFocus(d, finestra_, RevertToParent, CurrentTime);
          fuoco_dato = true;
        }
        break;
      case KeyPress: {
        const KeySym tasto = x11().XLookupKeysym(&e.xkey, 0);
        if (tasto == XK_Return || tasto == XK_KP_Enter || tasto == XK_Escape) return;
        break;
      }
      case ButtonPress:
        if (e.xbutton.button == Button1 &&
            disposizione_.bottone.contiene(e.xbutton.x, e.xbutton.y)) {
          premuto_ = true;
          disegna();
        }
        break;
      case ButtonRelease:
        // A click counts when pressed and released on the button, as a
        // button does; a press dragged off it is a change of mind.
        if (e.xbutton.button == Button1 && premuto_) {
          premuto_ = false;
          if (disposizione_.bottone.contiene(e.xbutton.x, e.xbutton.y)) return;
          disegna();
        }
        break;
      case ClientMessage:
        if (e.xclient.message_type == schermo_.wm_protocols &&
            static_cast<Atom>(e.xclient.data.l[0]) == schermo_.wm_delete_window)
          return;
        break;
      case DestroyNotify:
        // Gone without being answered (killed by the user): nothing is left
        // to wait for.
        distrutta_ = true;
        return;
      default:
        break;
    }
  }
}

}  // namespace

void mostra_messaggio(schermo_x11& schermo, const std::string& testo,
                      finestra_attesa* proprietaria) {
  finestra_messaggio finestra(schermo, testo, proprietaria);
  finestra.attendi_chiusura();
}
