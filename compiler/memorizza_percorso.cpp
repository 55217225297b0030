// The compiler driver: records, both sources, post-pass, header codes, files.
#include "compiler/codici_errore.h"
#include "compiler/compilatore.h"
#include "sistema/fine_programma.h"

void compilatore::azzera_tabella() {
  for (voce_corsa& v : tabella_corsa) v = voce_corsa{};
}

std::string problema_trovato::testo() const {
  if (codice == numero_errore(errore_compilazione::lettura_fallita) && !motivo.empty())
    return motivo;
  const std::string_view t = testo_errore(codice);
  return t.empty() ? "errore sconosciuto" : std::string(t);
}

std::string problema_trovato::riepilogo() const {
  return "Errore n. " + std::to_string(codice) + " (posizione " + std::to_string(posizione) +
         " m): " + testo();
}

std::string compilazione_fermata::testo() const {
  if (motivo == perche::errore_stop) return " Errore n. " + std::to_string(problema.codice);
  const std::string causa =
      problema.presente() ? problema.testo() : "manca la lunghezza del percorso";
  return "nessun tracciato da compilare: " + causa + " (Errore n. " +
         std::to_string(problema.codice) + ")";
}

void compilatore::memorizza_percorso(int32_t& j) {
  scrivi_linea = j;
  problema = {};
  riga_lunghezza = {};
  righe_segmenti = {};
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
  if (celle.empty() || (scrivi_linea != 0 && !punti_linea.esiste()))
    throw compilazione_fermata{compilazione_fermata::perche::nessun_tracciato, problema};

  completa_celle();
  riempi_intestazioni();
  scrivi_compilati();
}

int compila_e_riferisci(compilatore& c, int32_t scrivi_linea, std::ostream& errori) {
  try {
    int32_t j = scrivi_linea;
    c.memorizza_percorso(j);
  } catch (const compilazione_fermata& f) {
    // The error stop: " Errore n. " and the number, with what it means.
    if (f.motivo == compilazione_fermata::perche::errore_stop) {
      errori << "compila_scenario:" << f.testo();
      if (!testo_errore(f.problema.codice).empty())
        errori << ": " << testo_errore(f.problema.codice);
      errori << '\n';
    } else {
      errori << "compila_scenario: " << f.testo() << '\n';
    }
    return stato_uscita::fermato;
  }
  // The line of a compiled source with a problem keeps the form that scripts
  // read, "Errore n. C (posizione P m)" at its start.
  if (c.problema.presente()) {
    errori << c.problema.riepilogo() << '\n';
    return stato_uscita::errori_compilazione;
  }
  return stato_uscita::successo;
}
