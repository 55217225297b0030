// The scenario as a picture: the plan of the line, north up, with its
// stations, and under it the profiles against distance (speed limit,
// gradient, adhesion) with rows of marks for the line-side objects.
#pragma once

#include <string>

#include "compiler/lettura_compilati.h"
#include "tools/esamina/descrizione.h"

std::string disegno_svg(const scenario_letto& s, const descrizione& d);

// "linea di 124,000 km · 12 stazioni · 80 segnali · ...": the picture's and
// the page's line under the title.
std::string sommario_scenario(const scenario_letto& s, const descrizione& d);
