// Checks of the compiled files against each other and against the layout the
// simulator expects: sizes implied by the line length, the tagged values of
// the plan, the header codes, the references from cells to table entries.
#pragma once

#include <cstdint>
#include <string_view>

#include "compiler/lettura_compilati.h"
#include "compiler/nomi_scenario.h"  // codici_dai_nomi

// Adds to s.problemi every fault that the decoding alone could not see.
void valida(scenario_letto& s);

// The whole examination of three byte buffers: read them back, then check.
scenario_letto esamina(const contenuti& file, std::string_view nome_scenario,
                       std::string_view numero_treno);
