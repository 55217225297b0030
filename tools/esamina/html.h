// The scenario as one page to open from disk in a browser: the plan and the
// profiles drawn by the page's own script, which moves along the line and
// tells what each cell holds. The page needs nothing outside itself.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "compiler/lettura_compilati.h"
#include "tools/esamina/descrizione.h"

std::string pagina_html(const scenario_letto& s, const descrizione& d);

// The data the page draws, one JSON document with a list for each field of
// the objects, stations and runs: for the longest line it is the part of the
// page that counts.
std::string dati_vista(const scenario_letto& s, const descrizione& d);

// Where along the run a problem lies, in metres: the cell, station, board or
// metre of the plan its byte falls in; nothing for a whole file or a value
// that has no place on the line.
std::optional<int64_t> metro_del_problema(const scenario_letto& s, const descrizione& d,
                                          const problema& p);
