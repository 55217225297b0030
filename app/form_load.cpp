// The run sequence: the whole job, once, in a fixed order.
#include <string>

#include "app/form1.h"
#include "sistema/blocchi.h"
#include "sistema/file_disco.h"

void Form1::Form_Load() {
  nome_scenario = "Ombrasca1";
  numero_treno = "5817";
  piattaforma_.mostra_attesa();

  // The folder is this run's alone until its last file is in place, and
  // what killed runs left in it goes first.
  const std::filesystem::path cartella = piattaforma_.cartella_programma();
  const blocco_cartella blocco(cartella, [&] {
    piattaforma_.segnala("in attesa che finisca un'altra compilazione in " + cartella.string());
  });
  pulisci_avanzi(cartella);

  dati_linea();
  dati_treno();
  dati_note();
  dati_rallentamenti();
  dati_scheda();

  int32_t j = 1;
  memorizza_percorso(j);
  termina_compilazione();
}

void Form1::termina_compilazione() {
  // The compiled files are written whatever the compiler found; a problem it
  // recorded is still a failed run, said on one line and in the exit status.
  if (compilazione.problema.presente()) {
    piattaforma_.segnala(compilazione.problema.riepilogo());
    throw fine_programma{stato_uscita::errori_compilazione};
  }
  throw fine_programma{stato_uscita::successo};
}

int Form1::avvia() {
  return esegui([this] { Form_Load(); });
}

int Form1::esegui(const std::function<void()>& lavoro) {
  int stato = stato_uscita::successo;
  try {
    lavoro();
  } catch (const fine_programma& fine) {
    stato = fine.stato;
  } catch (const compilazione_fermata& fermata) {
    // The error stop shows its number in a box; a compilation with no track
    // says so on a line.
    if (fermata.motivo == compilazione_fermata::perche::errore_stop)
      piattaforma_.messaggio_errore(fermata.testo());
    else
      piattaforma_.segnala(fermata.testo());
    stato = stato_uscita::fermato;
  } catch (const errore_file& e) {
    piattaforma_.segnala("impossibile scrivere o leggere " + e.file() + ": " + e.motivo());
    piattaforma_.messaggio_file("Impossibile scrivere o leggere " + e.file() + ":\n" + e.motivo());
    stato = stato_uscita::errore_file;
  }
  piattaforma_.chiudi_attesa();
  return stato;
}

void Form1::memorizza_percorso(int32_t& j) {
  compilazione.nome_scenario = nome_scenario;
  compilazione.numero_treno = numero_treno;
  compilazione.cartella = piattaforma_.cartella_programma();
  compilazione.memorizza_percorso(j);
}
