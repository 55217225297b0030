// The readable report of a compiled scenario, in plain text.
#pragma once

#include <string>

#include "tools/esamina/descrizione.h"
#include "tools/esamina/lettura.h"

std::string rapporto(const scenario_letto& s, const descrizione& d);

// One occupied cell's object in words: "segnale: sx 2, aspetti 4 1 1; ...".
// stazione_nome is the name of the station a stop names (empty if unknown).
std::string frase_oggetto(const oggetto& o, const std::string& stazione_nome);
