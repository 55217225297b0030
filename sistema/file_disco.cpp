#include "sistema/file_disco.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>
#include <random>
#include <system_error>
#include <utility>

#include "sistema/file_disco_sistema.h"
#include "sistema/fine_programma.h"

namespace fs = std::filesystem;

namespace file_disco_sistema {

// What is said of a name that holds a pipe, a device or a socket.
const char* const non_normale =
    "non è un file normale (è una pipe o un dispositivo): al suo posto ci vuole un file";

std::string motivo(int numero) { return motivo_errore({numero, std::generic_category()}); }

}  // namespace file_disco_sistema

using namespace file_disco_sistema;

namespace {

constexpr std::string_view segno_temporaneo = ".in_scrittura.";
// The journal of a set being replaced (sostituisci_insieme): a first line,
// then the names of the temporary files to move, each closed by a NUL, the
// one byte no name holds.
constexpr std::string_view nome_diario = ".insieme_in_sostituzione";
constexpr std::string_view intestazione_diario = "file da mettere al loro posto\n";
// By programma_cartella.
constexpr std::string_view inizi_cartella_privata[] = {".compila_scenario.",
                                                       ".decompila_scenario."};

std::string numero_a_caso() {
  static std::mt19937_64 caso{std::random_device{}()};
  return std::to_string(caso() % 1000000000ULL);
}

bool solo_cifre(std::string_view s) {
  return !s.empty() && s.size() <= 20 && s.find_first_not_of("0123456789") == s.npos;
}

// A name beside the target that no other file holds, marked as this run's;
// it is created only where no file has the name, so two runs never share it.
std::FILE* apri_temporaneo(const fs::path& file, fs::path& temporaneo, segno_di_vita& segno) {
  for (int tentativo = 0; tentativo < 100; ++tentativo) {
    // As a path: the file's name is kept in the system's own characters.
    fs::path nome = ".";
    nome += file.filename();
    nome += segno_temporaneo;
    nome += numero_a_caso();
    temporaneo = file.parent_path() / nome;
    errno = 0;
    std::FILE* f = crea_esclusivo(temporaneo);
    if (f == nullptr && errno != EEXIST) break;
    if (f == nullptr) continue;
    if (segno.prendi(temporaneo)) return f;
    std::fclose(f);  // taken for a leftover before it was marked
  }
  throw errore_file(file.string(), motivo(errno ? errno : EIO));
}

// A name as the programs write it in their own files: UTF-8, which every
// system's names convert to.
std::string in_utf8(const fs::path& nome) {
  const std::u8string u8 = nome.u8string();
  return {u8.begin(), u8.end()};
}

// The file that a temporary file of the programs was made for, beside it:
// its name without the leading dot and the mark; empty for any other name.
fs::path bersaglio_di(std::string_view temporaneo) {
  if (!avanzo_dei_programmi(temporaneo, false) ||
      temporaneo.find_first_of("/\\") != temporaneo.npos)
    return {};
  const std::string_view nome = temporaneo.substr(1, temporaneo.rfind(segno_temporaneo) - 1);
  return fs::path(std::u8string(nome.begin(), nome.end()));
}

// The largest a file may grow to, for the tests (limita_file_per_prova).
std::optional<uint64_t> limite_di_prova;

// A write that would take the file past the tests' limit fails as it would
// on a full disk.
bool oltre_il_limite_di_prova(std::FILE* f, size_t n) {
  if (!limite_di_prova) return false;
  const int64_t dove = posizione_di(f);
  return dove < 0 || static_cast<uint64_t>(dove) + n > *limite_di_prova;
}

}  // namespace

std::string motivo_errore(const std::error_code& ec) {
  struct motivo_noto {
    int numero;  // errno
    const char* testo;
  };
  static constexpr motivo_noto motivi[] = {
      {ENOENT, "il file o la sua cartella non c'è: controlla il nome e il percorso"},
      {ENOTDIR, "una parte del percorso non è una cartella: controlla il percorso"},
      {EISDIR, "è una cartella, non un file: dai il nome di un file"},
      {EEXIST, "esiste già"},
      {EACCES, "accesso negato: chiudi il programma che tiene aperto il file (il simulatore, "
               "un editor) o controlla i permessi della cartella, poi riprova"},
      {EPERM, "operazione non permessa: controlla i permessi della cartella"},
      {EBUSY, "è in uso: chiudi il programma che lo tiene e riprova"},
      {ENOSPC, "spazio esaurito sul disco: libera spazio e riprova"},
#ifdef EDQUOT
      {EDQUOT, "spazio concesso sul disco esaurito: libera spazio e riprova"},
#endif
      {EFBIG, "il file è più grande di quanto il disco ammetta: usa un altro disco"},
      {EROFS, "il disco è di sola lettura: scegli un'altra cartella"},
      {ENAMETOOLONG, "il percorso è troppo lungo: usa una cartella con un percorso più corto"},
      {EINVAL, "il nome non è valido qui: togli i caratteri speciali"},
      {ELOOP, "troppi collegamenti simbolici in catena: controlla il percorso"},
      {EMFILE, "troppi file aperti: chiudi qualche programma e riprova"},
      {ENFILE, "troppi file aperti: chiudi qualche programma e riprova"},
      {EIO, "errore del disco: controlla il disco e riprova"},
  };
  const int numero = numero_errno(ec);
  for (const motivo_noto& m : motivi)
    if (m.numero == numero) return m.testo;
  return "errore n. " + std::to_string(ec.value()) + " del sistema (" + ec.message() + ")";
}

void limita_file_per_prova(std::optional<uint64_t> byte) { limite_di_prova = byte; }

bool avanzo_dei_programmi(std::string_view nome, bool cartella) {
  if (cartella) {
    for (const std::string_view inizio : inizi_cartella_privata)
      if (nome.starts_with(inizio) && solo_cifre(nome.substr(inizio.size()))) return true;
    return false;
  }
  const size_t segno = nome.rfind(segno_temporaneo);
  return nome.starts_with('.') && segno != nome.npos && segno > 1 &&
         solo_cifre(nome.substr(segno + segno_temporaneo.size()));
}

void pulisci_avanzi(const fs::path& cartella) {
  // The temporary files a journal names are the new set, not leftovers.
  completa_sostituzione(cartella);
  std::error_code ec;
  for (fs::directory_iterator voce(cartella, ec), fine; !ec && voce != fine; voce.increment(ec)) {
    // Any name at all may be in the folder; the programs' own names are ASCII.
    const std::string nome = in_utf8(voce->path().filename());
    for (const bool e_cartella : {false, true})
      if (avanzo_dei_programmi(nome, e_cartella)) rimuovi_se_abbandonato(voce->path(), e_cartella);
  }
}

cartella_privata::cartella_privata(const fs::path& dentro, programma_cartella di) {
  const std::string_view inizio = inizi_cartella_privata[static_cast<size_t>(di)];
  for (int tentativo = 0;; ++tentativo) {
    percorso_ = dentro / (std::string(inizio) + numero_a_caso());
    std::error_code ec;
    if (fs::create_directory(percorso_, ec)) {
      if (segno_.prendi(percorso_)) return;
      ec = {};  // taken for a leftover before it was marked: another name
    }
    if (ec || tentativo == 100)
      throw errore_file(percorso_.string(), ec ? motivo_errore(ec) : motivo(EEXIST));
  }
}

cartella_privata::~cartella_privata() {
  // The mark first: on some systems a folder held open cannot be removed.
  segno_.lascia();
  std::error_code ec;
  fs::remove_all(percorso_, ec);
}

file_nuovo::file_nuovo(fs::path file) : file_(std::move(file)) {
  // Said at once, and in these words: the rename at the end would fail
  // anyway, some systems with a reason that names no folder ("." is busy).
  controlla_file_normale(file_);
  f_ = apri_temporaneo(file_, temporaneo_, segno_);
  // Contents arrive whole or in large pieces: each goes out in one write,
  // not topped up through a small buffer first.
  std::setvbuf(f_, nullptr, _IONBF, 0);
}

file_nuovo::~file_nuovo() {
  if (f_ != nullptr) std::fclose(f_);
  std::error_code ignora;
  if (!temporaneo_.empty()) fs::remove(temporaneo_, ignora);
}

void file_nuovo::fallisci(int numero) {
  if (f_ != nullptr) std::fclose(f_);
  f_ = nullptr;
  std::error_code ignora;
  if (!temporaneo_.empty()) fs::remove(temporaneo_, ignora);
  temporaneo_.clear();
  segno_.lascia();
  throw errore_file(file_.string(), motivo(numero));
}

void file_nuovo::scrivi(std::string_view pezzo) {
  if (f_ == nullptr) fallisci(EBADF);  // already confirmed, or failed
  errno = 0;
  if (oltre_il_limite_di_prova(f_, pezzo.size())) fallisci(EFBIG);
  if (std::fwrite(pezzo.data(), 1, pezzo.size(), f_) != pezzo.size()) fallisci(errno ? errno : EIO);
}

void file_nuovo::riserva(uint64_t byte) {
  if (f_ != nullptr && byte > 0) riserva_spazio(f_, byte);
}

void file_nuovo::scrivi_a(uint64_t posizione, std::string_view pezzo) {
  if (f_ == nullptr) fallisci(EBADF);
  errno = 0;
  if (!vai_a(f_, posizione)) fallisci(errno ? errno : EIO);
  scrivi(pezzo);
}

void file_nuovo::chiudi() {
  if (f_ == nullptr) fallisci(EBADF);
  errno = 0;
  if (std::fflush(f_) != 0) fallisci(errno ? errno : EIO);
  if (std::fclose(std::exchange(f_, nullptr)) != 0) fallisci(errno ? errno : EIO);
}

std::error_code file_nuovo::metti_a_posto() {
  // Still marked: a clean-up cannot take it while it goes into place.
  std::error_code ec;
  rinomina_sopra(temporaneo_, file_, ec);
  if (ec) return ec;
  segno_.lascia();
  temporaneo_.clear();  // the name may be another run's from now on
  return {};
}

void file_nuovo::abbandona() {
  segno_.lascia();
  temporaneo_.clear();
}

void file_nuovo::conferma() {
  chiudi();
  if (const std::error_code ec = metti_a_posto()) fallisci(ec.value());
}

void sostituisci_insieme(const std::vector<file_nuovo*>& file) {
  if (file.empty()) return;
  std::vector<fs::path> vecchi_file;
  std::string diario(intestazione_diario);
  for (file_nuovo* f : file) {
    f->chiudi();
    vecchi_file.push_back(f->file_);
    diario += in_utf8(f->temporaneo_.filename());
    diario += '\0';
  }
  const vecchi_trattenuti vecchi(vecchi_file);
  const fs::path percorso_diario = file.front()->file_.parent_path() / nome_diario;
  sostituisci_file(percorso_diario, diario);
  for (size_t i = 0; i < file.size(); ++i) {
    const std::error_code ec = file[i]->metti_a_posto();
    if (!ec) continue;
    if (i == 0) {
      // Nothing moved yet: the old set stays, and so must the next run leave it.
      std::error_code ignora;
      fs::remove(percorso_diario, ignora);
      file[0]->fallisci(ec.value());
    }
    // Part of the set is new: the rest waits, with the journal, for the next run.
    for (size_t k = i; k < file.size(); ++k) file[k]->abbandona();
    throw errore_file(file[i]->file_.string(), motivo_errore(ec));
  }
  // The set is whole: a journal left behind only names files already moved.
  std::error_code ignora;
  fs::remove(percorso_diario, ignora);
}

void completa_sostituzione(const fs::path& cartella) {
  const fs::path percorso_diario = cartella / nome_diario;
  std::error_code ec;
  if (!fs::is_regular_file(fs::symlink_status(percorso_diario, ec))) return;
  // A few names: anything much larger was never written by a run.
  const std::string diario =
      fs::file_size(percorso_diario, ec) <= 65536 ? leggi_file(percorso_diario) : std::string();
  // Only a program's temporary file moves, and only over the file it was
  // made for: a journal that says anything else moves nothing, and what it
  // names goes with the other leftovers.
  std::vector<fs::path> da, a;
  if (diario.starts_with(intestazione_diario) && diario.ends_with('\0')) {
    std::string_view resto = std::string_view(diario).substr(intestazione_diario.size());
    while (!resto.empty()) {
      const std::string_view nome = resto.substr(0, resto.find('\0'));
      resto.remove_prefix(nome.size() + 1);
      const fs::path bersaglio = bersaglio_di(nome);
      if (bersaglio.empty()) {
        da.clear();
        a.clear();
        break;
      }
      const fs::path temporaneo = cartella / fs::path(std::u8string(nome.begin(), nome.end()));
      // Gone: already in its place before the run stopped.
      if (!fs::is_regular_file(fs::symlink_status(temporaneo, ec))) continue;
      da.push_back(temporaneo);
      a.push_back(cartella / bersaglio);
    }
  }
  const vecchi_trattenuti vecchi(a);
  for (size_t i = 0; i < da.size(); ++i) {
    rinomina_sopra(da[i], a[i], ec);
    if (ec) throw errore_file(a[i].string(), motivo_errore(ec));
  }
  elimina_file(percorso_diario);
}

void completa_sostituzione_interrotta(const fs::path& cartella,
                                      const std::function<void()>& in_attesa) {
  std::error_code ec;
  if (!fs::exists(fs::symlink_status(cartella / nome_diario, ec))) return;
  const blocco_cartella blocco(cartella, in_attesa);
  completa_sostituzione(cartella);
}

void sostituisci_file(const fs::path& file, std::string_view contenuto) {
  file_nuovo f(file);
  f.scrivi(contenuto);
  f.conferma();
}

void controlla_file_normale(const fs::path& file) {
  std::error_code ec;
  const fs::file_status s = fs::status(file, ec);
  // What cannot be looked at is left to the read or write to tell.
  if (ec || !fs::exists(s) || fs::is_regular_file(s)) return;
  throw errore_file(file.string(), fs::is_directory(s) ? motivo(EISDIR) : non_normale);
}

std::string leggi_file(const fs::path& file) { return file_in_lettura(file).leggi_tutto(); }

file_in_lettura::file_in_lettura(const fs::path& file) : nome_(file.string()) {
  // A folder opens for reading on some systems, but has no bytes to give.
  std::error_code ec;
  if (fs::is_directory(file, ec)) throw errore_file(nome_, motivo(EISDIR));
  f_ = apri_in_lettura(file, dimensione_);
  // Pieces are read straight into the caller's buffer.
  std::setvbuf(f_, nullptr, _IONBF, 0);
}

file_in_lettura::~file_in_lettura() { std::fclose(f_); }

size_t file_in_lettura::leggi_a(uint64_t posizione, char* dove, size_t n) {
  errno = 0;
  if (!vai_a(f_, posizione)) throw errore_file(nome_, motivo(errno ? errno : EIO));
  const size_t letti = std::fread(dove, 1, n, f_);
  if (letti < n && std::ferror(f_)) throw errore_file(nome_, motivo(errno ? errno : EIO));
  return letti;
}

std::string file_in_lettura::leggi_tutto() {
  if (dimensione_ > std::numeric_limits<size_t>::max()) throw errore_file(nome_, motivo(EFBIG));
  std::string dati(static_cast<size_t>(dimensione_), '\0');
  dati.resize(leggi_a(0, dati.data(), dati.size()));
  return dati;
}

void sposta_file(const fs::path& da, const fs::path& a) {
  std::error_code ec;
  rinomina_sopra(da, a, ec);
  if (ec) throw errore_file(a.string(), motivo_errore(ec));
}

void elimina_file(const fs::path& file) {
  std::error_code ec;
  // Only files: a folder that happens to bear the name is not ours to remove.
  if (fs::is_directory(fs::symlink_status(file, ec))) return;
  fs::remove(file, ec);
  if (ec && ec != std::errc::no_such_file_or_directory)
    throw errore_file(file.string(), motivo_errore(ec));
}
