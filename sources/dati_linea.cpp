// PLACEHOLDER until the carried data set lands (issue 3).
#include "app/form1.h"
#include "sources/scenario_portato.h"

std::span<const std::string_view> righe_sorgente_linea() { return {}; }
std::span<const std::string_view> righe_sorgente_corsa() { return {}; }
void Form1::dati_linea() {}
void Form1::dati_treno() {}
