#include "compiler/sorgente_file.h"

#include "app/file_disco.h"
#include "app/fine_programma.h"

std::string leggi_sorgente(const std::filesystem::path& file, int32_t& riga_errore) {
  try {
    return leggi_file(file);
  } catch (const errore_file& e) {
    riga_errore = 0;
    throw errore_lettura(e.what());
  }
}
