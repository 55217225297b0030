// The locks of a run on a POSIX system: flock, which the kernel drops when
// the last descriptor of the open file goes, that is at the latest when the
// process ends. A folder is locked through a descriptor of the folder itself,
// so no lock file is ever left in it.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <system_error>

#include "sistema/blocchi.h"

namespace fs = std::filesystem;

namespace {

int apri(const fs::path& percorso, int modo) {
  int d;
  do d = ::open(percorso.c_str(), modo | O_RDONLY | O_CLOEXEC);
  while (d < 0 && errno == EINTR);
  return d;
}

bool blocca(int descrittore, int modo) {
  int r;
  do r = ::flock(descrittore, modo);
  while (r != 0 && errno == EINTR);
  return r == 0;
}

void chiudi(int& descrittore) {
  if (descrittore >= 0) ::close(descrittore);
  descrittore = -1;
}

// The name still leads to the open file, not to nothing or to another file.
bool stesso_file(int descrittore, const fs::path& percorso) {
  struct stat aperto, nome;
  return ::fstat(descrittore, &aperto) == 0 && ::lstat(percorso.c_str(), &nome) == 0 &&
         aperto.st_dev == nome.st_dev && aperto.st_ino == nome.st_ino && aperto.st_nlink > 0;
}

}  // namespace

blocco_cartella::blocco_cartella(const fs::path& cartella, const std::function<void()>& in_attesa) {
  descrittore_ = apri(cartella, O_DIRECTORY);
  if (descrittore_ < 0) return;  // the run's own writes will say what is wrong
  if (blocca(descrittore_, LOCK_EX | LOCK_NB)) return;
  if (errno == EWOULDBLOCK) {
    in_attesa();
    if (blocca(descrittore_, LOCK_EX)) return;
  }
  chiudi(descrittore_);  // no locks on this file system
}

blocco_cartella::~blocco_cartella() { chiudi(descrittore_); }

bool segno_di_vita::prendi(const fs::path& percorso) {
  lascia();
  // A descriptor of its own, apart from the one that writes the file: the
  // mark stays while the file is closed and renamed into place.
  descrittore_ = apri(percorso, O_NONBLOCK);
  if (descrittore_ < 0) return errno != ENOENT;  // unreadable to its owner: written unmarked
  // Waits only for a clean-up that holds it for a moment.
  if (!blocca(descrittore_, LOCK_EX)) {
    chiudi(descrittore_);
    return true;
  }
  if (stesso_file(descrittore_, percorso)) return true;
  chiudi(descrittore_);
  return false;
}

void segno_di_vita::lascia() { chiudi(descrittore_); }

bool rimuovi_se_abbandonato(const fs::path& percorso, bool cartella) {
  int d = apri(percorso, O_NOFOLLOW | O_NONBLOCK | (cartella ? O_DIRECTORY : 0));
  if (d < 0) return false;
  struct stat s;
  bool rimosso = false;
  if (::fstat(d, &s) == 0 && (cartella ? S_ISDIR(s.st_mode) : S_ISREG(s.st_mode)) &&
      blocca(d, LOCK_EX | LOCK_NB) && stesso_file(d, percorso)) {
    std::error_code ec;
    if (cartella)
      rimosso = fs::remove_all(percorso, ec) != static_cast<std::uintmax_t>(-1) && !ec;
    else
      rimosso = ::unlink(percorso.c_str()) == 0;
  }
  chiudi(d);
  return rimosso;
}

vecchi_trattenuti::vecchi_trattenuti(const std::vector<fs::path>& file) {
  for (const fs::path& f : file) {
    const int d = apri(f, O_NOFOLLOW | O_NONBLOCK);
    if (d >= 0) descrittori_.push_back(d);
  }
}

vecchi_trattenuti::~vecchi_trattenuti() {
  for (int d : descrittori_) chiudi(d);
}
