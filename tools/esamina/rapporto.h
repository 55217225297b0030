// The readable report of a compiled scenario, in plain text.
#pragma once

#include <string>

#include "compiler/lettura_compilati.h"
#include "tools/esamina/descrizione.h"

std::string rapporto(const scenario_letto& s, const descrizione& d);

// One occupied cell's object in words: "segnale: sx 2, aspetti 4 1 1; ...".
// stazione_nome is the name of the station a stop names (empty if unknown).
std::string frase_oggetto(const oggetto& o, const std::string& stazione_nome);

// Where an occupied cell's object stands: "cella 782 (39050 m, km 96,100)",
// the railway kilometre left out where the table gives no segments.
std::string posto_oggetto(const oggetto& o);

// A progressive segment as the author wrote it, the value the table stores
// and the stretch of the run it governs.
std::string frase_segmento(const chilometri_linea& k, const segmento_chilometrico& s);

// A station's line of the report: "1. Ombrasca: tipo 1, a 0 m (km 39,050), ...".
std::string frase_stazione(const stazione& st);

// A run of cells: "celle da 41 a 120 (da 2050 m a 6050 m): 95 km/h".
std::string riga_tratto(const tratto& t, const std::string& unita);

// The cab-signal repetition section: "nessuna" or "da X m a Y m, N codici".
std::string frase_ripetizione(const valori_generali& g);
