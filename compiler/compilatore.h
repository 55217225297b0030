// The scenario compiler as a value of its own: the compiled records, the
// counters and the problem found, with the compiler's stages as operations.
// It reads the two sources of one scenario from a folder and writes the
// three compiled files; it shows nothing and asks nothing of a window, so
// the program (Form1 holds one for its run), the authors' tools and the fuzz
// targets all compile through it alike.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/avvisi.h"
#include "compiler/record.h"

// The problem the compiler recorded, if any: its number (0: none), its
// position in metres, and where it stands for authors editing by hand (the
// source file's name, the line and column of the item at fault, 0 when not
// from a row); for a read failure (code 25) its reason.
struct problema_trovato {
  int32_t codice = 0;
  int32_t posizione = 0;
  std::string file;
  int32_t riga = 0;
  int32_t colonna = 0;
  std::string motivo;

  bool presente() const { return codice != 0; }
  // What it means: for a read failure the reason the reader had, otherwise
  // the sentence of its code.
  std::string testo() const;
  // The line a run ends with when there is one: "Errore n. C (posizione P
  // m): TESTO". Scripts read the part before the colon: it keeps its form.
  std::string riepilogo() const;
};

// The compiler stopped before any compiled file was touched: by the error
// stop (a conflict in the header slots) or because the readers left no track
// to complete and write. Whoever runs the compiler says so and ends the run.
struct compilazione_fermata {
  enum class perche { errore_stop, nessun_tracciato };
  perche motivo;
  problema_trovato problema;

  // The text that tells it: " Errore n. C" for the error stop (shown in a
  // box by the program), else the line "nessun tracciato da compilare: ...".
  std::string testo() const;
};

class compilatore {
 public:
  // --- The stages, in the order the driver runs them ---
  void memorizza_percorso(int32_t& j);  // the driver: all the stages below
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
  // The error stop: throws compilazione_fermata with the code.
  [[noreturn]] void errore(int32_t codice);

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

  // --- Names and files of a compilation ---
  std::filesystem::path file_sorgente_linea() const;
  std::filesystem::path file_sorgente_corsa() const;
  std::filesystem::path file_linea() const;
  std::filesystem::path file_tabella() const;
  std::filesystem::path file_tracciato() const;

  std::string nome_scenario;
  std::string numero_treno;
  // Where the two sources are read from, and the compiled files written to
  // unless cartella_compilati names another folder.
  std::filesystem::path cartella;
  std::filesystem::path cartella_compilati;

  // --- The records and counters ---
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
  int32_t prossimo_cartello = voce_tabella::primo_cartello;

  problema_trovato problema;
  // The line source's 'lunghezza percorso' row, where it was read: with a
  // length of 0 or less, the fault of every position off the track.
  struct luogo_riga {
    std::string file;
    int32_t riga = 0;
    int32_t colonna = 0;
  };
  luogo_riga riga_lunghezza;
  // Where each kilometre-progressive segment's row was read, in the order
  // of the segments' entries once progressive_ordina has sorted them.
  std::array<luogo_riga, 3> righe_segmenti{};

  // Rows the readers took though perhaps not as meant; never shown by the
  // program itself, and never a change to what is compiled.
  elenco_avvisi avvisi;
};

// Runs the driver of `c` and says on `errori` what stopped it, or the
// problem it found, in the words of compila_scenario; returns the exit
// status (stato_uscita): successo, errori_compilazione or fermato. A file
// that cannot be read or written is errore_file, as ever.
int compila_e_riferisci(compilatore& c, int32_t scrivi_linea, std::ostream& errori);
