// The compiler driver: records, both sources, post-pass, header codes, files.
#include "app/form1.h"

void Form1::azzera_tabella() {
  for (voce_corsa& v : tabella_corsa) v = voce_corsa{};
}

void Form1::memorizza_percorso(int32_t& j) {
  scrivi_linea = j;
  codice_errore = 0;
  posizione_errore = 0;
  file_errore.clear();
  riga_errore = 0;
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
    piattaforma_.segnala(
        "Nessun tracciato da compilare: manca la lunghezza del percorso (Errore n. " +
        std::to_string(codice_errore) + ")");
    throw fine_programma{stato_uscita::fermato};
  }

  completa_celle();
  riempi_intestazioni();
  scrivi_compilati();
}
