// Header slots of the table and track files: two format codes and two codes
// computed from the train number and the scenario name.
#include "app/form1.h"
#include "compiler/codici_errore.h"
#include "compiler/nomi_scenario.h"

int16_t Form1::codice_gara_og() const {
  return codici_dai_nomi(tabella_corsa[voce_tabella::treno].nome,
                         tabella_corsa[voce_tabella::scenario].nome)
      .tracciato;
}

int32_t Form1::codice_gara_st() const {
  return codici_dai_nomi(tabella_corsa[voce_tabella::treno].nome,
                         tabella_corsa[voce_tabella::scenario].nome)
      .tabella;
}

void Form1::riempi_intestazioni() {
  if (tabella_corsa[voce_tabella::scenario].intero1 != 0 || celle[cella_intestazione].dato1 != 0)
    errore(std::to_string(numero_errore(errore_compilazione::formato_occupato)));
  tabella_corsa[voce_tabella::scenario].intero1 = formato_tabella;
  celle[cella_intestazione].dato1 = formato_tracciato;
  if (tabella_corsa[voce_tabella::scenario].orario != 0 || celle[cella_intestazione].dato2 != 0)
    errore(std::to_string(numero_errore(errore_compilazione::codice_scenario_occupato)));
  tabella_corsa[voce_tabella::scenario].orario = codice_gara_st();
  celle[cella_intestazione].dato2 = codice_gara_og();
}

void Form1::errore(const std::string& a) {
  piattaforma_.messaggio_errore(" Errore n. " + a);
  throw fine_programma{stato_uscita::fermato};
}
