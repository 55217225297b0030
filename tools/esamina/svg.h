// The scenario as a picture: the plan of the line, north up, with its
// stations, and under it the profiles against distance (speed limit,
// gradient, adhesion) with rows of marks for the line-side objects.
#pragma once

#include <string>

#include "tools/esamina/descrizione.h"
#include "tools/esamina/lettura.h"

std::string disegno_svg(const scenario_letto& s, const descrizione& d);
