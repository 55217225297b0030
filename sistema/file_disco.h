// Whole-file reads and writes. Every file the program writes is replaced
// atomically: written in full to a temporary file beside it, then renamed over
// it, so a failure part-way leaves the previous file intact and no temporary
// file behind. Failures raise errore_file, naming the file and the reason.
//
// A run that is killed cannot clean up after itself: its temporary files and
// private folders stay. They carry names of their own (avanzo_dei_programmi)
// and the mark of their live run (sistema/blocchi.h), so that a later run can
// tell them from everything else and remove them once their run is gone.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "sistema/blocchi.h"

// Why a file could not be read or written, as the programs tell it: what
// happened, then what to do. The system's own text (English, or in a code
// page the console may not show) is kept only for failures the list below
// does not know.
std::string motivo_errore(const std::error_code& ec);

void sostituisci_file(const std::filesystem::path& file, std::string_view contenuto);

// For the tests alone: a disk that fills up part-way. With a limit, a write
// that would take a file being replaced past that many bytes fails as on a
// full disk (EFBIG); nullopt, as in every real run, lifts it. A program run
// as a process by the tests gets it from the test build's own starter
// (testing/limite_file_prova.cpp), never from anything the shipped programs read.
void limita_file_per_prova(std::optional<uint64_t> byte);

// The same replacement, for a content written piece by piece: the pieces go
// to the temporary file, which takes the file's place on conferma(). One that
// is destroyed unconfirmed (a failure on the way) removes its temporary file
// and leaves the old file as it was.
class file_nuovo {
 public:
  explicit file_nuovo(std::filesystem::path file);
  ~file_nuovo();
  file_nuovo(const file_nuovo&) = delete;
  file_nuovo& operator=(const file_nuovo&) = delete;

  // Sets aside room for `byte` bytes at once, where the file system can,
  // rather than a block at a time as the writes arrive: for a file of many
  // megabytes that is most of the cost of writing it. Never a failure: a
  // disk without the room fails at the write instead.
  void riserva(uint64_t byte);
  // Writes `pezzo` where the last write ended: one after the other, the
  // pieces make the file in order.
  void scrivi(std::string_view pezzo);
  // Writes `pezzo` at byte `posizione`; bytes skipped over read as zeros
  // until written.
  void scrivi_a(uint64_t posizione, std::string_view pezzo);
  void conferma();

 private:
  friend void sostituisci_insieme(const std::vector<file_nuovo*>& file);
  // The temporary file complete and closed, still marked, not yet in place.
  void chiudi();
  // Moves the closed temporary file over the file.
  std::error_code metti_a_posto();
  // Leaves the closed temporary file where it is, for the next run to put in
  // place, and no longer this object's to remove.
  void abbandona();
  [[noreturn]] void fallisci(int numero);

  std::filesystem::path file_;
  std::filesystem::path temporaneo_;  // ".NAME.in_scrittura.DIGITS" beside the file
  std::FILE* f_ = nullptr;
  segno_di_vita segno_;
};

// A set of files that belong together (the three compiled files) takes the
// place of the old set as one: all of them or, whatever stops the run on the
// way, none. Renames are atomic one at a time only, so before the first one
// a journal in the folder names the temporary files still to move, and it
// goes once the last has moved. A run killed in between leaves the journal,
// and the next run in the folder finishes the moves (completa_sostituzione)
// before it does anything else: the set is then wholly new. Going forward is
// the only way back to a whole set, as the old files already replaced are
// gone. All the files lie in one folder; `file` in the order they move.
// A failure before the first move leaves the old set as it was.
void sostituisci_insieme(const std::vector<file_nuovo*>& file);

// Finishes, in `cartella`, the replacement of a set that a run left half
// done, then removes its journal; nothing when there is none. Called by a run
// that holds the folder (blocco_cartella), before anything else it does
// there; pulisci_avanzi calls it first. errore_file when a file cannot be
// moved: the journal stays for the next run.
void completa_sostituzione(const std::filesystem::path& cartella);

// The same for a program that only reads the folder: it takes the folder's
// turn only where a journal shows a replacement left half done, calling
// in_attesa once if another run holds it.
void completa_sostituzione_interrotta(const std::filesystem::path& cartella,
                                      const std::function<void()>& in_attesa);

// The programs that make private folders; each folder's name tells whose it
// is (".compila_scenario.DIGITS", ".decompila_scenario.DIGITS").
enum class programma_cartella { compila_scenario, decompila_scenario };

// A folder of the run's own inside `dentro`, marked as the live run's until
// the object goes, and removed then with all it holds. The mark is a lock on
// the folder itself: a run that must lock a folder of its own for other work
// (a compilation) does it in a folder inside this one.
class cartella_privata {
 public:
  explicit cartella_privata(const std::filesystem::path& dentro,
                            programma_cartella di = programma_cartella::compila_scenario);
  ~cartella_privata();
  cartella_privata(const cartella_privata&) = delete;
  cartella_privata& operator=(const cartella_privata&) = delete;
  const std::filesystem::path& percorso() const { return percorso_; }

 private:
  std::filesystem::path percorso_;
  segno_di_vita segno_;
};

// Whether a name in a folder is one the programs give a temporary file
// (cartella false) or a private folder (cartella true), and nothing else.
bool avanzo_dei_programmi(std::string_view nome, bool cartella);

// Removes from `cartella` the temporary files and private folders of runs
// that are no longer alive, and nothing else; what cannot be removed stays,
// with no failure. Run at the start of a run, while it holds the folder,
// after completing a replacement left half done (which may fail).
void pulisci_avanzi(const std::filesystem::path& cartella);

// errore_file when something is at `file` that is not a regular file: a
// folder, a pipe, a device. Reading a pipe waits for a writer that may never
// come, and writing one feeds whatever reads it; neither is what a name of a
// scenario's file means. Nothing there at all is no failure.
void controlla_file_normale(const std::filesystem::path& file);

// The whole content of a file in one read; errore_file when it cannot be read
// or is not a regular file.
std::string leggi_file(const std::filesystem::path& file);

// A file read a piece at a time, anywhere in it: for files too large to be
// worth holding whole, whose bytes are wanted only as they are walked.
// Only a regular file opens, at once whatever is there (a pipe is refused
// without waiting for a writer). Failures raise errore_file.
class file_in_lettura {
 public:
  explicit file_in_lettura(const std::filesystem::path& file);
  ~file_in_lettura();
  file_in_lettura(const file_in_lettura&) = delete;
  file_in_lettura& operator=(const file_in_lettura&) = delete;

  // The size the file had when it was opened: a reader that allows files
  // of a bounded size checks it before it reads anything.
  uint64_t dimensione() const { return dimensione_; }
  // Reads up to n bytes from byte `posizione` into `dove`; fewer only where
  // the file ends.
  size_t leggi_a(uint64_t posizione, char* dove, size_t n);
  // The file's bytes, as many as it had when it was opened.
  std::string leggi_tutto();

 private:
  std::string nome_;
  std::FILE* f_ = nullptr;
  uint64_t dimensione_ = 0;
};

// Moves a file to another name in the same folder in one step, over a file
// that may bear it; errore_file when it cannot.
void sposta_file(const std::filesystem::path& da, const std::filesystem::path& a);

// Removes a file if it is there; a file already gone is no failure.
void elimina_file(const std::filesystem::path& file);
