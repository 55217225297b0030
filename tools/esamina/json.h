// The same content as the report, as one JSON document for other tools.
#pragma once

#include <string>

#include "tools/esamina/descrizione.h"
#include "tools/esamina/lettura.h"

std::string documento_json(const scenario_letto& s, const descrizione& d);
