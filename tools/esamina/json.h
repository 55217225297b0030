// The same content as the report, as one JSON document for other tools.
#pragma once

#include <string>

#include "compiler/lettura_compilati.h"
#include "tools/esamina/descrizione.h"
#include "tools/esamina/scrittore_json.h"

std::string documento_json(const scenario_letto& s, const descrizione& d);

// "tratti_chilometrici": the stretches of the run in order, each with where it
// starts (da_m), the railway kilometre there (km_m) and its direction (verso,
// -1 where the kilometres fall along the run): the page reads its kilometres
// from them; null without the table's segments.
void tratti_chilometrici_json(scrittore_json& j, const std::optional<chilometri_linea>& k);
