#include "compiler/lettura_sorgente.h"

#include "app/file_disco.h"
#include "compiler/codici_errore.h"

bool lettura_sorgente::prossima_riga() {
  for (int commenti = 0;; ++commenti) {
    if (in_.fine()) return false;
    leggi_capo();
    if (in_.fine()) return false;
    if (commenti == 2 || !contiene(f_.riga, "-")) return true;
  }
}

lettura_sorgente::esito lettura_sorgente::chiudi() {
  elimina_file(file_);
  return esito::ferma;
}

bool leggi_sorgente(Form1& f, const std::filesystem::path& file,
                    const std::function<bool(lettore_voci&)>& lettura) {
  try {
    std::string dati;
    try {
      dati = leggi_file(file);
    } catch (const errore_file& e) {
      f.riga_errore = 0;
      throw errore_lettura(e.what());
    }
    lettore_voci in(std::move(dati));
    try {
      return lettura(in);
    } catch (const errore_lettura& e) {
      f.riga_errore = e.riga() > 0 ? e.riga() : in.riga_voce();
      throw;
    }
  } catch (const errore_lettura&) {
    f.codice_errore = numero_errore(errore_compilazione::lettura_fallita);
    f.file_errore = file.filename().string();
    elimina_file(f.file_sorgente_linea());
    elimina_file(f.file_sorgente_corsa());
    return false;
  }
}
