// The run sequence: the whole job, once, in a fixed order.
#include <string>

#include "app/form1.h"

void Form1::Form_Load() {
  nome_scenario = "Ombrasca1";
  numero_treno = "5817";
  piattaforma_.mostra_attesa();

  int32_t j = 1;
  memorizza_percorso(j);

  // The compiled files are written whatever the compiler found; a problem it
  // recorded is still a failed run, said on one line and in the exit status.
  if (codice_errore != 0) {
    piattaforma_.segnala("Errore n. " + std::to_string(codice_errore) + " (posizione " +
                         std::to_string(posizione_errore) + " m)");
    throw fine_programma{stato_uscita::errori_compilazione};
  }
  throw fine_programma{stato_uscita::successo};
}

int Form1::avvia() {
  int stato = stato_uscita::successo;
  try {
    Form_Load();
  } catch (const fine_programma& fine) {
    stato = fine.stato;
  } catch (const errore_file& e) {
    piattaforma_.segnala("Impossibile scrivere o leggere " + e.file() + ": " + e.motivo());
    stato = stato_uscita::errore_file;
  }
  piattaforma_.chiudi_attesa();
  return stato;
}
