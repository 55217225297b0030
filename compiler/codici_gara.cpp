// Header slots of the table and track files: two format codes and two codes
// computed from the train number and the scenario name.
#include "compiler/codici_errore.h"
#include "compiler/compilatore.h"
#include "compiler/nomi_scenario.h"

int16_t compilatore::codice_gara_og() const {
  return codici_dai_nomi(tabella_corsa[voce_tabella::treno].nome,
                         tabella_corsa[voce_tabella::scenario].nome)
      .tracciato;
}

int32_t compilatore::codice_gara_st() const {
  return codici_dai_nomi(tabella_corsa[voce_tabella::treno].nome,
                         tabella_corsa[voce_tabella::scenario].nome)
      .tabella;
}

void compilatore::riempi_intestazioni() {
  if (tabella_corsa[voce_tabella::scenario].intero1 != 0 || celle[cella_intestazione].dato1 != 0)
    errore(numero_errore(errore_compilazione::formato_occupato));
  tabella_corsa[voce_tabella::scenario].intero1 = formato_tabella;
  celle[cella_intestazione].dato1 = formato_tracciato;
  if (tabella_corsa[voce_tabella::scenario].orario != 0 || celle[cella_intestazione].dato2 != 0)
    errore(numero_errore(errore_compilazione::codice_scenario_occupato));
  tabella_corsa[voce_tabella::scenario].orario = codice_gara_st();
  celle[cella_intestazione].dato2 = codice_gara_og();
}

void compilatore::errore(int32_t codice) {
  problema_trovato arresto;
  arresto.codice = codice;
  throw compilazione_fermata{compilazione_fermata::perche::errore_stop, arresto};
}
