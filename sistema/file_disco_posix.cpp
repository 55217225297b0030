// The file layer's part that POSIX systems do their own way
// (sistema/file_disco_sistema.h).
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <limits>

#include "sistema/file_disco_sistema.h"
#include "sistema/fine_programma.h"

namespace fs = std::filesystem;

namespace file_disco_sistema {

std::FILE* crea_esclusivo(const fs::path& percorso) { return std::fopen(percorso.c_str(), "wbx"); }

// A regular file opened for reading, and its size. The open itself must not
// wait: a pipe opened for reading waits for a writer, so it is opened
// without waiting, told from a file by what it is, and refused.
std::FILE* apri_in_lettura(const fs::path& percorso, uint64_t& dimensione) {
  const int d = ::open(percorso.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (d < 0) throw errore_file(percorso.string(), motivo(errno ? errno : ENOENT));
  struct stat st {};
  const auto rinuncia = [&](const std::string& perche) {
    ::close(d);
    throw errore_file(percorso.string(), perche);
  };
  if (::fstat(d, &st) != 0) rinuncia(motivo(errno ? errno : EIO));
  if (S_ISDIR(st.st_mode)) rinuncia(motivo(EISDIR));
  if (!S_ISREG(st.st_mode)) rinuncia(non_normale);
  // A regular file's reads wait for the disk as usual.
  const int modi = ::fcntl(d, F_GETFL);
  if (modi < 0 || ::fcntl(d, F_SETFL, modi & ~O_NONBLOCK) != 0)
    rinuncia(motivo(errno ? errno : EIO));
  std::FILE* f = ::fdopen(d, "rb");
  if (f == nullptr) rinuncia(motivo(errno ? errno : EMFILE));
  dimensione = static_cast<uint64_t>(st.st_size);
  return f;
}

bool vai_a(std::FILE* f, uint64_t posizione) {
  if (posizione > static_cast<uint64_t>(std::numeric_limits<long>::max())) {
    errno = EFBIG;
    return false;
  }
  return std::fseek(f, static_cast<long>(posizione), SEEK_SET) == 0;
}

void rinomina_sopra(const fs::path& da, const fs::path& a, std::error_code& ec) {
  fs::rename(da, a, ec);
}

int64_t posizione_di(std::FILE* f) { return static_cast<int64_t>(::ftello(f)); }

void riserva_spazio(std::FILE* f, uint64_t byte) {
#ifdef __linux__
  // Linux's own call, which fails where the file system cannot set room
  // aside (the portable one would write zeros over the whole length instead).
  // The size stays what the writes make it: room reserved and never written
  // adds no bytes to the file.
  if (byte <= static_cast<uint64_t>(std::numeric_limits<off_t>::max()))
    (void)fallocate(fileno(f), FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(byte));
#else
  (void)f;
  (void)byte;
#endif
}

int numero_errno(const std::error_code& ec) { return ec.value(); }

}  // namespace file_disco_sistema
