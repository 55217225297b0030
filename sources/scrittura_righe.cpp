// The writer pattern of every text file of the system.
#include <array>

#include "app/form1.h"
#include "compiler/lettura_sorgente.h"
#include "compiler/nomi_scenario.h"
#include "sistema/file_disco.h"

void Form1::scrivi_righe(std::string_view nome_file, std::span<const std::string_view> righe,
                         bool conserva_diverso) {
  // The table: the lines, then the end marker in the entry after the last.
  // Our documents use at most a fifth of it; a longer one is a fault of the
  // program's own data, refused before anything is written.
  if (righe.size() + 1 > static_cast<size_t>(righe_massime))
    throw std::length_error("troppe righe per " + std::string(nome_file));
  std::array<std::string_view, righe_massime> tabella{};
  size_t n = 0;
  for (std::string_view r : righe) tabella[n++] = r;
  tabella[n] = marcatore_fine;

  std::string testo;
  size_t lunghezza = 0;
  for (size_t i = 0; i <= n; ++i) lunghezza += tabella[i].size() + 2;
  testo.reserve(lunghezza);
  for (size_t i = 0; tabella[i] != marcatore_fine; ++i) {
    testo.append(tabella[i]);
    testo.append("\r\n");
  }
  const std::filesystem::path file = percorso(nome_file);
  std::error_code ec;
  if (conserva_diverso && std::filesystem::is_regular_file(file, ec)) {
    // Read only when it may be the same. A copy keeps the file in its place
    // until the new one replaces it whole; one larger than any source can be
    // is no source of an author's, and is moved aside unread.
    const uintmax_t byte = std::filesystem::file_size(file, ec);
    if (ec || byte != testo.size() || leggi_file(file) != testo) {
      std::filesystem::path copia = file;
      copia += ".bak";
      if (!ec && byte <= byte_massimi_sorgente)
        sostituisci_file(copia, leggi_file(file));
      else
        sposta_file(file, copia);
      piattaforma_.segnala("genera_scenario: " + file.filename().string() +
                           " era diverso da quello dello scenario: conservato come " +
                           copia.filename().string());
    }
  }
  sostituisci_file(file, testo);
}

// The names of the files the writers make, all in the program's folder.
std::filesystem::path Form1::percorso(std::string_view nome_file) const {
  return piattaforma_.cartella_programma() / std::string(nome_file);
}
std::filesystem::path Form1::file_sorgente_linea() const {
  return percorso(file_dello_scenario(nome_scenario, numero_treno).sorgente_linea);
}
std::filesystem::path Form1::file_sorgente_corsa() const {
  return percorso(file_dello_scenario(nome_scenario, numero_treno).sorgente_corsa);
}
