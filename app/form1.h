// Form1: the program's one object. It holds the whole state of a run (the
// scenario's names, and the compiler with its records, counters and problem)
// and every operation of the job as a method. Its methods are spread
// over the three subsystem folders, one small file per job:
//   app/       the run sequence and the platform layer
//   sources/   the carried scenario, its two source writers, the documents
//   compiler/  the compiler it holds (compiler/compilatore.h)
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/compilatore.h"
#include "sistema/fine_programma.h"
#include "sistema/piattaforma.h"

class Form1 {
 public:
  explicit Form1(piattaforma& p) : piattaforma_(p) {}

  // Runs Form_Load and turns the way it ended into the process exit status.
  int avvia();

  // Runs one job of the program (the run sequence, or the compiler alone)
  // and turns the way it ended into the process exit status.
  int esegui(const std::function<void()>& lavoro);

  // Ends a compilation: status 0, or 1 with one line naming the problem when
  // the compiler recorded one.
  [[noreturn]] void termina_compilazione();

  // The run sequence: the whole job, once (app/form_load.cpp).
  void Form_Load();

  // --- Scenario sources and driver documents (sources/) ---
  void dati_linea();
  void dati_treno();
  void dati_note();
  void dati_rallentamenti();
  void dati_scheda();

  // --- Scenario compiler (compiler/) ---
  // Compiles the two sources of this run in the program's folder, through
  // compilazione.
  void memorizza_percorso(int32_t& j);

  // --- Names and files of a run ---
  std::filesystem::path percorso(std::string_view nome_file) const;
  std::filesystem::path file_sorgente_linea() const;
  std::filesystem::path file_sorgente_corsa() const;

  // The writer pattern shared by every text file: the lines are laid into a
  // table of 1001 entries closed by the end marker, then written up to the
  // marker, each line followed by CR LF, bytes as they stand.
  static constexpr int righe_massime = 1001;
  static constexpr std::string_view marcatore_fine = "riferimento fine del file";
  // With conserva_diverso, a file already there whose bytes differ (an
  // author's edited copy of a source) is first kept as FILE.bak, one
  // generation, and the run says so.
  void scrivi_righe(std::string_view nome_file, std::span<const std::string_view> righe,
                    bool conserva_diverso = false);

  // --- State of the run ---
  std::string nome_scenario;
  std::string numero_treno;

  // The compiler of the run: its records, counters and problem.
  compilatore compilazione;

 private:
  piattaforma& piattaforma_;
};
