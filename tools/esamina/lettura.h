// Reading the three compiled files back into the records the compiler held.
// Every read is bounded by the bytes at hand: a truncated or corrupted file
// yields what can be read plus one problem line per fault, never a crash.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/record.h"
#include "tools/esamina/piano_letto.h"

// One fault found in a file: the file's name, the byte where it lies (none
// when the whole file is at fault, as when it is missing) and what is wrong.
struct problema {
  std::string file;
  std::optional<size_t> byte;
  std::string testo;
};

// "Ombrasca1_5817.sim: byte 2957: ..." (or "FILE: ..." without a byte).
std::string riga_problema(const problema& p);

struct nomi_file {
  std::string linea;      // NAME_linea.dat
  std::string tabella;    // NAME_TRAIN.sim
  std::string tracciato;  // NAME_TRAIN.dat
};
nomi_file nomi_dei_file(std::string_view nome_scenario, std::string_view numero_treno);

// The bytes of the three files; a file that could not be read is absent.
// The plan read back reads the line file's bytes as it is asked for them:
// they must outlive it.
struct contenuti {
  std::optional<byte_linea> linea;
  std::optional<std::string_view> tabella;
  std::optional<std::string_view> tracciato;
};

struct scenario_letto {
  std::string nome_scenario;  // the names the files were asked for by
  std::string numero_treno;
  nomi_file file;

  bool linea_presente = false;
  bool tabella_presente = false;
  bool tracciato_presente = false;
  size_t byte_linea = 0;
  size_t byte_tabella = 0;
  size_t byte_tracciato = 0;

  // Track file: every complete cell.
  std::vector<cella> celle;

  // Table file: the entries that could be walked; those beyond stay empty.
  std::array<voce_corsa, voci_tabella_corsa> tabella{};
  int voci_lette = 0;
  std::array<size_t, voci_tabella_corsa> inizio_voce{};  // byte offset of each entry read

  // Line file: how many tagged values were walked (the walk stops at the
  // first it cannot read), and the plan split into its two halves when the
  // values fall into two equal halves.
  size_t valori_letti = 0;
  bool linea_intera = false;  // walked to the last byte without a fault
  piano_letto punti;

  std::vector<problema> problemi;

  // Entry 84's line length, once the table has been walked that far.
  std::optional<int32_t> lunghezza() const;
};

// Decodes whatever the buffers hold and records the faults of layout that
// need no other file to see: sizes, truncations, unknown type codes.
scenario_letto leggi_scenario(const contenuti& file, std::string_view nome_scenario,
                              std::string_view numero_treno);
