// A compiler in a temporary folder that compiles sources given by the test,
// with the names of the carried scenario.
#pragma once

#include <string>
#include <vector>

#include "compiler/compilatore.h"
#include "sistema/fine_programma.h"
#include "testing/cartella_prova.h"

struct compilazione_prova {
  cartella_temporanea cartella;
  compilatore compilazione;
  // What stopped each compilation that stopped: the error stop's
  // " Errore n. C", or the line that says there was no track.
  std::vector<std::string> fermate;

  compilazione_prova() {
    compilazione.nome_scenario = "Ombrasca1";
    compilazione.numero_treno = "5817";
    compilazione.cartella = cartella.percorso();
  }

  std::filesystem::path linea_txt() const { return cartella / "Ombrasca1_linea.txt"; }
  std::filesystem::path corsa_txt() const { return cartella / "Ombrasca1_5817-.txt"; }

  // Writes both sources and runs memorizza_dati as the driver does.
  void leggi(const std::string& linea, const std::string& corsa = sorgente_corsa(),
             int32_t flag = 1) {
    scrivi_testo(linea_txt(), linea);
    scrivi_testo(corsa_txt(), corsa);
    compilazione.scrivi_linea = flag;
    compilazione.problema = {};
    compilazione.azzera_tabella();
    compilazione.memorizza_dati();
  }

  // Writes both sources and runs the whole compiler driver as compila_scenario
  // does; returns the exit status it ends with.
  int compila(const std::string& linea, const std::string& corsa, int32_t flag = 1) {
    scrivi_testo(linea_txt(), linea);
    scrivi_testo(corsa_txt(), corsa);
    try {
      int32_t j = flag;
      compilazione.memorizza_percorso(j);
    } catch (const compilazione_fermata& f) {
      fermate.push_back(f.testo());
      return stato_uscita::fermato;
    }
    return compilazione.problema.presente() ? stato_uscita::errori_compilazione
                                            : stato_uscita::successo;
  }

  // A run over a plain line of L metres with the given run rows.
  void leggi_corsa(std::initializer_list<std::string_view> righe, int32_t L = 124000) {
    leggi(sorgente_linea(L), sorgente_corsa(righe), 0);
  }

  bool esiste(const std::filesystem::path& f) const { return std::filesystem::exists(f); }
  const cella& c(int i) const { return compilazione.celle.at(static_cast<size_t>(i)); }
};
