// What a scenario says, decoded from its records: the one source of the text
// report, the JSON document and the picture, so the three always agree.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/chilometri_linea.h"
#include "compiler/lettura_compilati.h"
#include "compiler/numeri.h"

struct valori_generali {
  int32_t lunghezza = 0;            // L, m
  size_t celle = 0;                 // cells in the track file
  std::array<int32_t, 3> sfondi{};  // backgrounds one, two, three
  int32_t ripetizione_inizio = 0;   // cab-signal repetition section
  int32_t ripetizione_fine = 0;
  int32_t ripetizione_codici = 0;
  int32_t vetture = 0;
  int32_t massa_frenata = 0;  // braked-mass percentage
  int16_t sabbia = 0;
  std::array<int16_t, 3> orologio{};  // start clock: hours, minutes, seconds
  std::string nome_scenario;          // entry 85 (UTF-8)
  std::string numero_treno;           // entry 86 (UTF-8)
};

// The header slots as the files hold them (absent where a file is too short).
struct intestazione {
  std::optional<int16_t> formato_tracciato;  // cell 1, dato1
  std::optional<int16_t> codice_tracciato;   // cell 1, dato2
  std::optional<int16_t> formato_tabella;    // entry 85, intero1
  std::optional<int32_t> codice_tabella;     // entry 85, orario
};

struct stazione {
  int voce = 0;
  voce_corsa dati;
  std::optional<int64_t> km;          // railway kilometre of its position, m
  std::string nome;                   // UTF-8
  std::vector<size_t> celle_fermata;  // cells of kind fermata that name this entry
};

struct testo_cartello {
  int voce = 0;
  std::string testo;  // UTF-8
  std::vector<size_t> celle;
};

// One decoded value of an object, named as the compiler's parameters are.
struct campo {
  std::string nome;
  int64_t valore;
};

// An occupied cell: an object, or only an approach mark (dato6).
struct oggetto {
  size_t indice = 0;          // the cell
  int64_t posizione = 0;      // m, where the object stands along the run
  std::optional<int64_t> km;  // railway kilometre there, m
  cella dati;
  std::vector<campo> valori;
  std::string testo;  // a board's text (UTF-8)
};

// A run of cells with one value: cells prima..ultima.
struct tratto {
  size_t prima = 0;
  size_t ultima = 0;
  int valore = 0;
  // The metres it covers: from the first metre of its first cell to the
  // first metre after its last one.
  int64_t da_m() const { return posizione_cella(static_cast<int64_t>(prima), 0); }
  int64_t a_m() const { return posizione_cella(static_cast<int64_t>(ultima) + 1, 0); }
};

struct profili {
  std::vector<tratto> velocita;  // km/h
  std::vector<tratto> pendenza;  // per mille
  std::vector<tratto> aderenza;
  std::vector<tratto> montagna;  // scenery span kinds, spans of kind 0 left out
};

struct riassunto_piano {
  size_t punti = 0;  // metres of the plan (0 when the line file gave none)
  std::optional<double> x_min, x_max, y_min, y_max;
};

struct descrizione {
  std::optional<valori_generali> generale;     // absent when the table lacks entries 84 to 86
  std::optional<chilometri_linea> chilometri;  // absent with the general values
  intestazione testata;
  std::vector<stazione> stazioni;
  std::vector<testo_cartello> cartelli;
  std::vector<oggetto> oggetti;
  profili profilo;
  riassunto_piano piano;
};

descrizione descrivi(const scenario_letto& s);

// Name of a cell kind as the compiler calls it ("segnale", "punto_codice"),
// or "tipo_N" for a kind it does not know.
std::string nome_tipo(uint8_t tipo);

// Where an object of a kind stands, from its cell: point objects (boards,
// signals, slowdown cells) go one cell past their position's own cell.
int64_t posizione_oggetto(size_t cella, uint8_t tipo);
