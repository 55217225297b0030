// What the readers took without a complaint, though perhaps not as the author
// meant it: a keyword with a typo, a number that reads as 0, a row out of
// order. Warnings change nothing that is compiled; compila_scenario shows them.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// The kinds of warning; a reader gives at most one of each kind per line.
enum class tipo_avviso : uint8_t {
  riga_sconosciuta,    // a lead item that holds no keyword
  voce_in_piu,         // an item left over after a row has read its values
  numero_illeggibile,  // a number item that is not a number and reads as 0
  numero_vuoto,        // an empty number item, which reads as 0
  commento_sospetto,   // a lead item skipped as a comment for a dash inside it
  curva_ambigua,       // a curve's side or class read from a doubtful lead item
  valore_troncato,     // a value wider than its field, kept in its low bits
  fuori_ordine,        // a row of a filled value not after the one before it
  curva_tagliata,      // a curve that starts where the plan is already drawn
  curva_oltre_fine,    // a curve that runs past the last point of the plan
  senza_generale,      // a file without "[generale]": nothing in it is read
  orario_impossibile,  // hours past 0-23, or minutes or seconds past 0-59
  orario_indietro,     // a station's time before the one of the station before it
  numero_negativo,     // a count or a percentage below 0
  testo_spezzato,      // a text item that a comma cut short: the rest is left over
  byte_nul,            // a NUL byte, which no text holds
  testo_utf8,          // bytes that make UTF-8 letters, in a file read as Windows-1252
  riga_continuata,     // a row that took values from the line after its own
  generale_fuori,      // a general row, or a second [generale], after the general section
};
// How many kinds there are: the last one above, plus one.
inline constexpr size_t tipi_di_avviso = static_cast<size_t>(tipo_avviso::generale_fuori) + 1;

struct avviso {
  std::string file;
  int32_t riga = 0;
  int32_t colonna = 0;
  std::string testo;
  tipo_avviso tipo = tipo_avviso::riga_sconosciuta;
};

class elenco_avvisi {
 public:
  // A file with a great many keeps the first ones; the rest are only counted.
  static constexpr size_t massimo_per_file = 20;

  void aggiungi(avviso a);
  void azzera() {
    tenuti_.clear();
    oltre_.clear();
  }
  const std::vector<avviso>& tenuti() const { return tenuti_; }
  // For each file with more than massimo_per_file: how many more it had.
  const std::vector<std::pair<std::string, int64_t>>& oltre() const { return oltre_; }
  int64_t totale() const;

 private:
  std::vector<avviso> tenuti_;
  std::vector<std::pair<std::string, int64_t>> oltre_;
};
