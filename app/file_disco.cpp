#include "app/file_disco.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>
#include <system_error>

#include "app/fine_programma.h"

namespace fs = std::filesystem;

namespace {

std::string motivo(int numero) { return std::generic_category().message(numero); }

// A name beside the target that no other file holds; "x" mode of fopen
// refuses to open one that exists, so two runs never share it.
std::FILE* apri_temporaneo(const fs::path& file, fs::path& temporaneo) {
  static std::mt19937_64 caso{std::random_device{}()};
  for (int tentativo = 0; tentativo < 100; ++tentativo) {
    temporaneo = file;
    temporaneo += ".tmp" + std::to_string(caso() % 1000000000ULL);
    errno = 0;
    if (std::FILE* f = std::fopen(temporaneo.c_str(), "wbx")) return f;
    if (errno != EEXIST) break;
  }
  throw errore_file(file.string(), motivo(errno ? errno : EIO));
}

}  // namespace

void sostituisci_file(const fs::path& file, std::string_view contenuto) {
  fs::path temporaneo;
  std::FILE* f = apri_temporaneo(file, temporaneo);
  errno = 0;
  const bool scritto = std::fwrite(contenuto.data(), 1, contenuto.size(), f) == contenuto.size() &&
                       std::fflush(f) == 0;
  int errore = scritto ? 0 : (errno ? errno : EIO);
  if (std::fclose(f) != 0 && errore == 0) errore = errno ? errno : EIO;
  if (errore == 0) {
    std::error_code ec;
    fs::rename(temporaneo, file, ec);
    if (!ec) return;
    errore = ec.value();
  }
  std::error_code ignora;
  fs::remove(temporaneo, ignora);
  throw errore_file(file.string(), motivo(errore));
}

std::string leggi_file(const fs::path& file) {
  errno = 0;
  std::FILE* f = std::fopen(file.c_str(), "rb");
  if (!f) throw errore_file(file.string(), motivo(errno ? errno : ENOENT));
  std::string dati;
  char blocco[1 << 16];
  size_t n;
  while ((n = std::fread(blocco, 1, sizeof blocco, f)) > 0) dati.append(blocco, n);
  const bool guasto = std::ferror(f);
  const int numero = errno ? errno : EIO;
  std::fclose(f);
  if (guasto) throw errore_file(file.string(), motivo(numero));
  return dati;
}

void elimina_file(const fs::path& file) {
  std::error_code ec;
  fs::remove(file, ec);
  if (ec && ec != std::errc::no_such_file_or_directory)
    throw errore_file(file.string(), ec.message());
}
