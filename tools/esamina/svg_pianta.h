// The plan of the line in the picture: the track from the per-metre plan,
// north up, scaled to fit its frame, with the stations named and kilometre
// marks along it.
#pragma once

#include <string>

#include "compiler/lettura_compilati.h"
#include "tools/esamina/descrizione.h"

struct cornice {
  double x, y, larghezza, altezza;
};

// Draws into `out`; the track past `lunghezza` metres is drawn pale.
void disegna_pianta(std::string& out, const scenario_letto& s, const descrizione& d,
                    double lunghezza, const cornice& c);
