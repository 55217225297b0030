// What a run holds on files and folders: advisory locks, held by the run for
// as long as it needs them and dropped by the system when the process ends,
// however it ends (a kill, a crash, a closed terminal), and files held open.
// So a lock found free belongs to no live run, whatever process ids have been
// reused since, and no lock outlives its run.
//
// This is the one place of the programs that asks the system for these
// (sistema/blocchi_posix.cpp, sistema/blocchi_win32.cpp).
// A file system that keeps no locks is written unlocked, as if every lock
// were granted: the run still works, only without these guarantees.
#pragma once

#include <filesystem>
#include <functional>
#include <vector>

// One writer per folder: the runs of the programs that write in a folder
// take turns there, so the files a run puts in place are never mixed with
// another run's. Lasts while the object lives.
class blocco_cartella {
 public:
  // Waits while another run holds the folder, calling in_attesa once first.
  blocco_cartella(const std::filesystem::path& cartella, const std::function<void()>& in_attesa);
  ~blocco_cartella();
  blocco_cartella(const blocco_cartella&) = delete;
  blocco_cartella& operator=(const blocco_cartella&) = delete;

 private:
#ifdef _WIN32
  void* maniglia_ = nullptr;
#else
  int descrittore_ = -1;
#endif
};

// The mark of a live run on a file or folder it has just created: while the
// mark is held, a clean-up (rimuovi_se_abbandonato) leaves the file alone.
class segno_di_vita {
 public:
  segno_di_vita() = default;
  ~segno_di_vita() { lascia(); }
  segno_di_vita(const segno_di_vita&) = delete;
  segno_di_vita& operator=(const segno_di_vita&) = delete;

  // Marks `percorso`, which this run has just created. False, and no mark,
  // when a clean-up took it for a leftover and removed it in the moment
  // between its creation and the mark: the caller makes another.
  bool prendi(const std::filesystem::path& percorso);
  void lascia();

 private:
#ifdef _WIN32
  void* maniglia_ = nullptr;
#else
  int descrittore_ = -1;
#endif
};

// Removes the file (or, with `cartella`, the folder and all it holds) at
// `percorso` when no live run marks it; true when it was removed. It is
// removed while the mark is held here, so its run cannot take it meanwhile.
// Anything else found under the name (a folder where a file was looked for,
// a symbolic link, a device) is left alone.
bool rimuovi_se_abbandonato(const std::filesystem::path& percorso, bool cartella);

// The files that a set of renames is about to replace, held open until the
// object goes. A rename over a file then only unlinks it, and the system
// frees the old files' blocks when they are let go, after the last rename,
// instead of between one rename and the next (milliseconds for a file of
// megabytes): the set changes as nearly at once as renames allow. Where an
// open file cannot be replaced, nothing is held; instead, an old file that
// could not be replaced now raises errore_file here, before any rename.
class vecchi_trattenuti {
 public:
  explicit vecchi_trattenuti(const std::vector<std::filesystem::path>& file);
  ~vecchi_trattenuti();
  vecchi_trattenuti(const vecchi_trattenuti&) = delete;
  vecchi_trattenuti& operator=(const vecchi_trattenuti&) = delete;

 private:
  std::vector<int> descrittori_;
};
