// The file layer's part that Windows does its own way (sistema/file_disco_sistema.h).
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <limits>

#include "sistema/file_disco_sistema.h"
#include "sistema/fine_programma.h"

namespace fs = std::filesystem;

namespace {

// The C runtime's errno for a system error, for the messages.
int errno_di(DWORD errore) {
  switch (errore) {
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return EEXIST;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return EACCES;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return ENOSPC;
    case ERROR_WRITE_PROTECT:
      return EROFS;
    case ERROR_FILENAME_EXCED_RANGE:
      return ENAMETOOLONG;
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
      return EINVAL;
    case ERROR_DIRECTORY:
      return ENOTDIR;
    case ERROR_TOO_MANY_OPEN_FILES:
      return EMFILE;
    default:
      return EIO;
  }
}

// The size of an open file; the read position is left at its end.
int64_t fine_di(std::FILE* f) { return _fseeki64(f, 0, SEEK_END) == 0 ? _ftelli64(f) : -1; }

}  // namespace

namespace file_disco_sistema {

// Created only if no file has the name: the C runtime takes the "x" of
// fopen's mode for nothing here. Shared for reading, writing and deletion, as
// on other systems, so that the run's mark and rename work beside it.
std::FILE* crea_esclusivo(const fs::path& percorso) {
  const HANDLE h = CreateFileW(percorso.c_str(), GENERIC_WRITE,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    errno = errno_di(GetLastError());
    return nullptr;
  }
  const int d = _open_osfhandle(reinterpret_cast<intptr_t>(h), _O_WRONLY | _O_BINARY);
  if (d < 0) {
    CloseHandle(h);
    errno = EMFILE;
    return nullptr;
  }
  std::FILE* f = _fdopen(d, "wb");
  if (f == nullptr) _close(d);
  return f;
}

// A regular file opened for reading, and its size. A folder does not open
// here, and a file's name in a folder names no pipe; but a device's name
// (NUL, CON, COM1) opens the device, whose reads may wait or never end.
std::FILE* apri_in_lettura(const fs::path& percorso, uint64_t& dimensione) {
  errno = 0;
  std::FILE* f = _wfopen(percorso.c_str(), L"rb");
  if (f == nullptr) throw errore_file(percorso.string(), motivo(errno ? errno : ENOENT));
  if (GetFileType(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(f)))) != FILE_TYPE_DISK) {
    std::fclose(f);
    throw errore_file(percorso.string(), non_normale);
  }
  errno = 0;
  const int64_t fine = fine_di(f);
  if (fine < 0) {
    const int numero = errno ? errno : EIO;
    std::fclose(f);
    throw errore_file(percorso.string(), motivo(numero));
  }
  dimensione = static_cast<uint64_t>(fine);
  return f;
}

// 64-bit positions: the C runtime's long is 32 bits here.
bool vai_a(std::FILE* f, uint64_t posizione) {
  if (posizione > static_cast<uint64_t>(std::numeric_limits<int64_t>::max())) {
    errno = EFBIG;
    return false;
  }
  return _fseeki64(f, static_cast<int64_t>(posizione), SEEK_SET) == 0;
}

int64_t posizione_di(std::FILE* f) { return _ftelli64(f); }

void riserva_spazio(std::FILE*, uint64_t) {}  // the writes make the room as they come

int numero_errno(const std::error_code& ec) {
  // The system's own codes, as the file system library gives some failures.
  if (ec.category() == std::system_category()) return errno_di(static_cast<DWORD>(ec.value()));
  return ec.value();
}

// The one replacement that is atomic here: the old file stays whole until
// the new one has its name.
void rinomina_sopra(const fs::path& da, const fs::path& a, std::error_code& ec) {
  ec.clear();
  if (!MoveFileExW(da.c_str(), a.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    ec.assign(errno_di(GetLastError()), std::generic_category());
}

}  // namespace file_disco_sistema
