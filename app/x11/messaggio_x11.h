// The error box: a modal message with one OK button, its text on as many
// lines as it needs. Closed by a click on OK, Enter, Escape or the window's
// close button.
#pragma once

#include <string>

#include "app/x11/finestra_attesa.h"
#include "app/x11/schermo_x11.h"

struct rettangolo {
  int x = 0;
  int y = 0;
  int larghezza = 0;
  int altezza = 0;
  bool contiene(int px, int py) const {
    return px >= x && px < x + larghezza && py >= y && py < y + altezza;
  }
};

namespace messaggio {
inline constexpr const char* titolo = "genera_scenario";
inline constexpr const char* testo_bottone = "OK";
inline constexpr int margine = 20;            // around the text
inline constexpr int larghezza_minima = 200;  // room for the title
inline constexpr int larghezza_riga = 480;    // a longer text goes on more lines
inline constexpr int bottone_larghezza = 75;
inline constexpr int bottone_altezza = 23;
inline constexpr int sopra_bottone = 18;  // between the text and the button
inline constexpr int sotto_bottone = 12;
}  // namespace messaggio

struct disposizione_messaggio {
  int larghezza = 0;
  int altezza = 0;
  rettangolo testo;
  rettangolo bottone;
};

// Lays out the box around a text of the given size in pixels.
disposizione_messaggio disponi_messaggio(int larghezza_testo, int altezza_testo);

// Where the OK button of a box of that client size stands.
rettangolo bottone_ok(int larghezza, int altezza);

// Shows the box, modal over `proprietaria` when there is one, and returns once
// it is dismissed and gone.
void mostra_messaggio(schermo_x11& schermo, const std::string& testo,
                      finestra_attesa* proprietaria);
