// The compiler driver: records, both sources, post-pass, header codes, files.
#include "app/form1.h"
#include "compiler/codici_errore.h"

void Form1::azzera_tabella() {
  for (voce_corsa& v : tabella_corsa) v = voce_corsa{};
}

std::string Form1::testo_del_errore() const {
  if (codice_errore == numero_errore(errore_compilazione::lettura_fallita) &&
      !motivo_errore.empty())
    return motivo_errore;
  const std::string_view t = testo_errore(codice_errore);
  return t.empty() ? "errore sconosciuto" : std::string(t);
}

void Form1::memorizza_percorso(int32_t& j) {
  scrivi_linea = j;
  codice_errore = 0;
  posizione_errore = 0;
  file_errore.clear();
  riga_errore = 0;
  colonna_errore = 0;
  motivo_errore.clear();
  avvisi.azzera();
  azzera_tabella();
  // The records are empty until the line reader sizes them.
  celle.clear();
  punti_linea.libera_tutto();
  ultima_cella = 0;
  lunghezza_estesa = 0;

  memorizza_dati();

  // A reader that stopped before the line length was known leaves no track to
  // complete or write: stop here, before any compiled file is touched.
  if (celle.empty() || (scrivi_linea != 0 && !punti_linea.esiste())) {
    const std::string perche =
        codice_errore != 0 ? testo_del_errore() : "manca la lunghezza del percorso";
    piattaforma_.segnala("nessun tracciato da compilare: " + perche + " (Errore n. " +
                         std::to_string(codice_errore) + ")");
    throw fine_programma{stato_uscita::fermato};
  }

  completa_celle();
  riempi_intestazioni();
  scrivi_compilati();
}
