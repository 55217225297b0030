// Form1: the program's one object. It holds the whole state of a run (the
// scenario's names, the compiled records, the compiler's counters and error
// pair) and every operation of the job as a method. Its methods are spread
// over the three subsystem folders, one small file per job:
//   app/       the run sequence and the platform layer
//   sources/   the carried scenario, its two source writers, the documents
//   compiler/  readers, storers, post-pass, compiled files, error stop
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/fine_programma.h"
#include "app/piattaforma.h"
#include "compiler/avvisi.h"
#include "compiler/record.h"

class lettore_voci;

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

  // What the recorded problem means: for a read failure the reason the reader
  // had, otherwise the sentence of its code.
  std::string testo_del_errore() const;

  // The run sequence: the whole job, once (app/form_load.cpp).
  void Form_Load();

  // --- Scenario sources and driver documents (sources/) ---
  void dati_linea();
  void dati_treno();
  void dati_note();
  void dati_rallentamenti();
  void dati_scheda();

  // --- Scenario compiler (compiler/) ---
  void memorizza_percorso(int32_t& j);
  void memorizza_dati();
  void progressive_ordina();
  void memo_montagna(int32_t inizio, int32_t fine, int32_t& tipo);
  void memo_indicatori_v_max(int32_t posizione, int32_t vas, int32_t vbs, int32_t vcs,
                             int32_t strisces, int32_t vad, int32_t vbd, int32_t vcd,
                             int32_t strisced);
  void memo_segnale(int32_t posizione, int32_t& sx, int32_t& s1, int32_t& s2, int32_t& s3,
                    int32_t& rapp, int32_t& dx, int32_t& d1, int32_t& d2, int32_t& d3,
                    int32_t& tempo);
  void memo_rallentamento(int32_t x, int32_t& v, int32_t& l, int32_t& f_tt, int32_t f_ta,
                          int32_t& d_v);
  bool leggi_sorgente_linea();  // first stage of memorizza_dati; true: the run source follows
  void leggi_sorgente_corsa();  // second stage of memorizza_dati
  void completa_celle();        // the track post-pass, steps A to D
  void riempi_intestazioni();   // header slots and scenario codes
  void scrivi_compilati();      // replaces the line, table and track files
  static int32_t minimo(int32_t x, int32_t y);
  int16_t codice_gara_og() const;
  int32_t codice_gara_st() const;
  [[noreturn]] void errore(const std::string& a);  // the error stop

  // Resets every entry of tabella_corsa (numbers 0, texts empty).
  void azzera_tabella();

  // Whether scrivi_compilati replaces the compiled files whatever the
  // compiler found (the program, whose sources are its own), or keeps the
  // author's set unless the sources compiled with no error (and, for
  // senza_avvisi, no warning), or, for a compilation that only looks for
  // errors, never.
  enum class sostituzione { sempre, senza_errori, senza_avvisi, mai };
  sostituzione quando_sostituire = sostituzione::sempre;
  bool compilati_da_sostituire() const;

  // --- Names and files of a run ---
  std::filesystem::path percorso(std::string_view nome_file) const;
  std::filesystem::path file_sorgente_linea() const;
  std::filesystem::path file_sorgente_corsa() const;
  std::filesystem::path file_linea() const;
  std::filesystem::path file_tabella() const;
  std::filesystem::path file_tracciato() const;

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
  // Where the compiled files go; empty: the program's folder, with the sources.
  std::filesystem::path cartella_compilati;

  punti_piano punti_linea;
  std::vector<cella> celle;  // bounds 0 To ultima_cella once the line reader has sized it
  std::array<voce_corsa, voci_tabella_corsa> tabella_corsa{};
  std::array<int32_t, montagne_massime + 1> inizi_montagna{};
  std::array<int32_t, montagne_massime + 1> fini_montagna{};
  int32_t n_montagne = 0;
  int32_t scrivi_linea = 0;
  std::string riga;
  int32_t lunghezza_estesa = 0;
  int32_t ultima_cella = 0;
  int32_t codice_errore = 0;
  int32_t posizione_errore = 0;
  int32_t prossimo_cartello = voce_tabella::primo_cartello;

  // Where the last error of a source row stands, for authors editing by hand:
  // the source file's name, the line and column of the item at fault (0 when
  // not from a row), and for a read failure (code 25) its reason.
  std::string file_errore;
  int32_t riga_errore = 0;
  int32_t colonna_errore = 0;
  std::string motivo_errore;

  // Rows the readers took though perhaps not as meant; never shown by the
  // program itself, and never a change to what is compiled.
  elenco_avvisi avvisi;

 private:
  piattaforma& piattaforma_;
};
