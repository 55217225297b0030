// The wait window: a fixed-size window with one label, "Attendere", painted
// once before the work starts and left alone until the program ends.
#pragma once

#include <X11/Xft/Xft.h>
#include <X11/Xlib.h>

#include "app/x11/schermo_x11.h"

namespace attesa {
inline constexpr int larghezza = 280;  // client area, pixels
inline constexpr int altezza = 179;
inline constexpr int etichetta_x = 64;  // the label's box
inline constexpr int etichetta_y = 64;
inline constexpr int etichetta_larghezza = 177;
inline constexpr int etichetta_altezza = 53;
inline constexpr const char* testo = "Attendere";
inline constexpr const char* titolo = "Generazione scenario";
}  // namespace attesa

class finestra_attesa {
 public:
  // Shows the window and returns once it is on screen with its label drawn.
  explicit finestra_attesa(schermo_x11& schermo);
  ~finestra_attesa();
  finestra_attesa(const finestra_attesa&) = delete;
  finestra_attesa& operator=(const finestra_attesa&) = delete;

  Window id() const { return finestra_; }
  void disegna();

 private:
  schermo_x11& schermo_;
  Window finestra_ = 0;
  XftDraw* disegno_ = nullptr;
};
