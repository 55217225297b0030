// What both windows share: the display connection, the fonts and the colours.
// Internal to the X11 layer.
#pragma once

#include <X11/Xft/Xft.h>
#include <X11/Xlib.h>

#include <string>

#include "app/x11/funzioni_x11.h"
#include "app/x11/piattaforma_x11.h"

struct schermo_x11 {
  Display* display = nullptr;
  int numero = 0;  // the screen
  Visual* visual = nullptr;
  Colormap colori = 0;
  XftFont* carattere_attesa = nullptr;     // the wait label's font
  XftFont* carattere_messaggio = nullptr;  // the error box's text and button
  XftColor nero{};
  bool nero_allocato = false;
  unsigned long sfondo = 0;  // window face
  unsigned long faccia_bottone = 0;
  unsigned long bordo_bottone = 0;
  unsigned long bottone_premuto = 0;
  Atom wm_protocols = 0;
  Atom wm_delete_window = 0;

  ~schermo_x11();
};

// Advance width of a text in a font, in pixels. Texts are single-byte, so
// they are drawn and measured as Latin-1: no byte can be malformed.
int larghezza_testo(const schermo_x11& schermo, XftFont* carattere, const std::string& testo);

// Sets the title, the fixed size and the close protocol of a top-level window;
// with `posizione` the window asks to stand there, otherwise the window
// manager places it where it puts new windows.
void prepara_finestra(const schermo_x11& schermo, Window finestra, const char* titolo,
                      int larghezza, int altezza, const XPoint* posizione = nullptr);
