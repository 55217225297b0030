// The windowed platform layer for an X11 desktop: the wait window and the
// error box are real windows; the program's folder and the diagnostic lines
// are left to the layer it wraps (the console one in the program).
#pragma once

#include <memory>

#include "sistema/piattaforma.h"

// An open connection to the display, with the fonts and colours the two
// windows use. Opaque outside the X11 layer.
struct schermo_x11;
struct chiudi_schermo_x11 {
  void operator()(schermo_x11* schermo) const;
};
using schermo_x11_ptr = std::unique_ptr<schermo_x11, chiudi_schermo_x11>;

// Connects to the display named by DISPLAY and loads the fonts; null when
// there is no display, the X11 or Xft client library cannot be loaded, the
// connection fails or no font can be had, so that the caller falls back to
// the console. Without DISPLAY no library is loaded.
schermo_x11_ptr apri_schermo_x11();

// The windowed layer on an open display; `resto` answers everything that is
// not a window.
std::unique_ptr<piattaforma> crea_piattaforma_x11(schermo_x11_ptr schermo,
                                                  std::unique_ptr<piattaforma> resto);
