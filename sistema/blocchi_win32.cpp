// The locks of a run on Windows. Every one of them belongs to a handle, and
// the system closes a process's handles however it ends, so none outlives
// its run:
// - a folder is taken through a named mutex, whose name is the folder's own
//   identity (its volume and file index), so that no lock file is ever left
//   in it; a run that dies holding it leaves it abandoned, and the next
//   taker gets it as a free one;
// - a file is marked by a byte-range lock far past any byte the programs
//   write, so that the mark never stands in the way of the file's own writes
//   and reads (ranges locked on this system are closed to other handles);
// - a folder is marked by a handle that shares it for anything but deletion:
//   a folder takes no byte-range locks, and while the handle is open no one
//   can open the folder to delete it.
#include <windows.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "sistema/blocchi.h"
#include "sistema/file_disco.h"
#include "sistema/fine_programma.h"

namespace fs = std::filesystem;

namespace {

constexpr DWORD condivisione_piena = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// The one byte of a mark: 2^62, far past any file of the programs.
constexpr DWORD segno_basso = 0;
constexpr DWORD segno_alto = 0x40000000;

HANDLE apri(const fs::path& percorso, DWORD accesso, DWORD condivisione, DWORD opzioni) {
  return CreateFileW(percorso.c_str(), accesso, condivisione, nullptr, OPEN_EXISTING,
                     opzioni | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
}

void chiudi(void*& h) {
  if (h != nullptr && h != INVALID_HANDLE_VALUE) CloseHandle(h);
  h = nullptr;
}

bool blocca_segno(HANDLE h, DWORD modo) {
  OVERLAPPED o{};
  o.Offset = segno_basso;
  o.OffsetHigh = segno_alto;
  return LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK | modo, 0, 1, 0, &o) != 0;
}

bool da_eliminare(HANDLE h) {
  FILE_STANDARD_INFO s{};
  return GetFileInformationByHandleEx(h, FileStandardInfo, &s, sizeof s) && s.DeletePending;
}

// Deletes the file or empty folder open as h, that very one whatever its name
// has become meanwhile; it goes when the last handle to it closes.
bool elimina_aperto(HANDLE h) {
  FILE_DISPOSITION_INFO d{};
  d.DeleteFile = TRUE;
  return SetFileInformationByHandle(h, FileDispositionInfo, &d, sizeof d) != 0;
}

// The names in the folder open as h, read through h itself: the system's
// own listing opens the folder again, which this handle's deletion access
// refuses.
std::vector<std::wstring> nomi_in(HANDLE h) {
  std::vector<std::wstring> nomi;
  std::vector<uint64_t> blocco(8192);  // 64 KiB, aligned for the records
  const DWORD byte = static_cast<DWORD>(blocco.size() * sizeof(uint64_t));
  FILE_INFO_BY_HANDLE_CLASS classe = FileFullDirectoryRestartInfo;
  while (GetFileInformationByHandleEx(h, classe, blocco.data(), byte)) {
    classe = FileFullDirectoryInfo;
    const auto* inizio = reinterpret_cast<const unsigned char*>(blocco.data());
    for (size_t dove = 0;;) {
      const auto* v = reinterpret_cast<const FILE_FULL_DIR_INFO*>(inizio + dove);
      const std::wstring nome(v->FileName, v->FileNameLength / sizeof(wchar_t));
      if (nome != L"." && nome != L"..") nomi.push_back(nome);
      if (v->NextEntryOffset == 0) break;
      dove += v->NextEntryOffset;
      if (dove >= byte) break;
    }
  }
  return nomi;
}

}  // namespace

blocco_cartella::blocco_cartella(const fs::path& cartella, const std::function<void()>& in_attesa) {
  // Opened only to learn which folder the name leads to, through any link.
  HANDLE h = CreateFileW(cartella.c_str(), FILE_READ_ATTRIBUTES, condivisione_piena, nullptr,
                         OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return;  // the run's own writes will say what is wrong
  BY_HANDLE_FILE_INFORMATION i{};
  const bool letto = GetFileInformationByHandle(h, &i) != 0;
  CloseHandle(h);
  if (!letto) return;
  // Per session: the runs of one user's desktop take turns.
  const std::wstring nome =
      L"Local\\genera_scenario.cartella." + std::to_wstring(i.dwVolumeSerialNumber) + L"." +
      std::to_wstring(i.nFileIndexHigh) + L"." + std::to_wstring(i.nFileIndexLow);
  HANDLE m = CreateMutexW(nullptr, FALSE, nome.c_str());
  if (m == nullptr) return;  // unlocked, as on a file system without locks
  DWORD esito = WaitForSingleObject(m, 0);
  if (esito == WAIT_TIMEOUT) {
    in_attesa();
    esito = WaitForSingleObject(m, INFINITE);
  }
  // Abandoned: its run died holding it, which frees it as surely as a release.
  if (esito != WAIT_OBJECT_0 && esito != WAIT_ABANDONED) {
    CloseHandle(m);
    return;
  }
  maniglia_ = m;
}

blocco_cartella::~blocco_cartella() {
  if (maniglia_ != nullptr) ReleaseMutex(maniglia_);
  chiudi(maniglia_);
}

bool segno_di_vita::prendi(const fs::path& percorso) {
  lascia();
  std::error_code ec;
  if (fs::is_directory(fs::symlink_status(percorso, ec))) {
    // A clean-up holding the folder for deletion keeps this open away for a
    // moment; a folder it has removed is gone or on its way.
    for (int tentativo = 0; tentativo < 2000; ++tentativo) {
      HANDLE h = apri(percorso, FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE,
                      FILE_FLAG_BACKUP_SEMANTICS);
      if (h != INVALID_HANDLE_VALUE) {
        if (da_eliminare(h)) {
          CloseHandle(h);
          return false;
        }
        maniglia_ = h;
        return true;
      }
      const DWORD errore = GetLastError();
      if (errore == ERROR_FILE_NOT_FOUND || errore == ERROR_PATH_NOT_FOUND) return false;
      if (errore != ERROR_SHARING_VIOLATION && errore != ERROR_ACCESS_DENIED) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return fs::exists(percorso, ec);
  }
  // A handle of its own, apart from the one that writes the file: the mark
  // stays while the file is closed and renamed into place.
  HANDLE h = apri(percorso, GENERIC_READ, condivisione_piena, 0);
  if (h == INVALID_HANDLE_VALUE) {
    const DWORD errore = GetLastError();
    // Gone, or deleted and waiting for the last handle: taken for a leftover.
    return errore != ERROR_FILE_NOT_FOUND && errore != ERROR_PATH_NOT_FOUND &&
           errore != ERROR_ACCESS_DENIED;
  }
  // Waits only for a clean-up that holds it for a moment.
  if (!blocca_segno(h, 0)) {
    CloseHandle(h);
    return true;  // no locks on this file system: written unmarked
  }
  if (!da_eliminare(h)) {
    maniglia_ = h;
    return true;
  }
  CloseHandle(h);
  return false;
}

void segno_di_vita::lascia() { chiudi(maniglia_); }

bool rimuovi_se_abbandonato(const fs::path& percorso, bool cartella) {
  // Opened for deletion, which a live run's mark on a folder refuses; and
  // while this is open, no run can mark it.
  HANDLE h = apri(percorso, DELETE | GENERIC_READ, condivisione_piena,
                  cartella ? FILE_FLAG_BACKUP_SEMANTICS : 0);
  if (h == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION i{};
  bool rimosso = false;
  // Not a link of any kind, and the kind that was looked for.
  if (GetFileInformationByHandle(h, &i) && !(i.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
      cartella == ((i.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)) {
    if (!cartella) {
      rimosso = blocca_segno(h, LOCKFILE_FAIL_IMMEDIATELY) && elimina_aperto(h);
    } else {
      std::error_code ec;
      for (const std::wstring& nome : nomi_in(h)) fs::remove_all(percorso / nome, ec);
      rimosso = elimina_aperto(h);
    }
  }
  CloseHandle(h);
  return rimosso;
}

// A file open here cannot be replaced by a rename at all: nothing is held,
// and each rename frees its old file's blocks as it goes. For the same
// reason, an old file that another program holds open without letting it be
// deleted (the simulator reading it, an editor), or one marked read-only,
// would stop the renames part-way, new files beside old ones: each is tried
// first, and such a file stops the run before the first rename.
vecchi_trattenuti::vecchi_trattenuti(const std::vector<fs::path>& file) {
  for (const fs::path& f : file) {
    const DWORD attributi = GetFileAttributesW(f.c_str());
    if (attributi == INVALID_FILE_ATTRIBUTES) continue;  // nothing to replace
    std::errc motivo = std::errc::permission_denied;
    if ((attributi & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      motivo = std::errc::is_a_directory;
    } else if ((attributi & FILE_ATTRIBUTE_READONLY) == 0) {
      const HANDLE h = CreateFileW(f.c_str(), DELETE, condivisione_piena, nullptr, OPEN_EXISTING,
                                   FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
      if (h != INVALID_HANDLE_VALUE) {
        CloseHandle(h);
        continue;
      }
      const DWORD errore = GetLastError();
      // Anything else the rename itself meets and tells.
      if (errore != ERROR_SHARING_VIOLATION && errore != ERROR_ACCESS_DENIED) continue;
    }
    throw errore_file(f.string(), motivo_errore(std::make_error_code(motivo)));
  }
}

vecchi_trattenuti::~vecchi_trattenuti() = default;
