// Reading the three compiled files back into the records the compiler held.
// Every read is bounded by the bytes at hand: a truncated or corrupted file
// yields what can be read plus one problem line per fault, never a crash.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/piano_letto.h"
#include "compiler/record.h"

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
// they must outlive it. `rifiuti` says why a file that is there was not read
// (in place of "missing").
struct contenuti {
  std::optional<byte_linea> linea;
  std::optional<std::string_view> tabella;
  std::optional<std::string_view> tracciato;
  std::vector<problema> rifiuti = {};
};

// The three files of a scenario as the tools take them from a folder: the
// table and the track read whole, the line file (unless con_linea is false)
// opened to be walked a piece at a time. A file that cannot be right is
// refused before a byte of it is read, with a problem that says why: one
// that is not a regular file (a pipe, a device, a folder), or one larger
// than any valid scenario's (whose line is at most lunghezza_massima metres
// long and whose texts are at most testo_massimo bytes); the line file,
// larger than the length in the table allows, when the table gives one.
// Smaller files are read: their faults are told in detail, and they take
// no more memory than the largest valid files.
struct file_letti {
  std::optional<std::string> tabella;
  std::optional<std::string> tracciato;
  std::shared_ptr<file_in_lettura> linea;
  std::vector<problema> rifiuti = {};

  contenuti viste() const;
};
file_letti leggi_file_scenario(const std::filesystem::path& cartella,
                               std::string_view nome_scenario, std::string_view numero_treno,
                               bool con_linea = true);

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
