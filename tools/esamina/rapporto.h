// The readable report of a compiled scenario, in plain text.
#pragma once

#include <string>

#include "tools/esamina/descrizione.h"
#include "tools/esamina/lettura.h"

std::string rapporto(const scenario_letto& s, const descrizione& d);

// One occupied cell's object in words: "segnale: sx 2, aspetti 4 1 1; ...".
// stazione_nome is the name of the station a stop names (empty if unknown).
std::string frase_oggetto(const oggetto& o, const std::string& stazione_nome);

// A station's line of the report: "1. Ombrasca: tipo 1, a 150 m, ...".
std::string frase_stazione(const stazione& st);

// A run of cells: "celle da 41 a 120 (da 2050 m a 6050 m): 95 km/h".
std::string riga_tratto(const tratto& t, const std::string& unita);

// The cab-signal repetition section: "nessuna" or "da X m a Y m, N codici".
std::string frase_ripetizione(const valori_generali& g);
