// Checks of the compiled files against each other and against the layout the
// simulator expects: sizes implied by the line length, the tagged values of
// the plan, the header codes, the references from cells to table entries.
#pragma once

#include <cstdint>
#include <string_view>

#include "compiler/formato.h"
#include "tools/esamina/lettura.h"

// Adds to s.problemi every fault that the decoding alone could not see.
void valida(scenario_letto& s);

// The whole examination of three byte buffers: read them back, then check.
scenario_letto esamina(const contenuti& file, std::string_view nome_scenario,
                       std::string_view numero_treno);

// The two scenario codes that a train number and a scenario name give, as the
// compiler computes them for the header slots.
struct codici_scenario {
  int16_t tracciato;  // cell 1, dato2
  int32_t tabella;    // entry 85, orario
};
codici_scenario codici_dai_nomi(const std::string& numero_treno, const std::string& nome_scenario);
