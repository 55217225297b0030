// A Form1 in a temporary folder that compiles sources given by the test.
#pragma once

#include <string>

#include "testing/prova_piattaforma.h"

struct compilazione_prova : form_in_prova {
  std::filesystem::path linea_txt() const { return cartella / "Ombrasca1_linea.txt"; }
  std::filesystem::path corsa_txt() const { return cartella / "Ombrasca1_5817-.txt"; }

  // Writes both sources and runs memorizza_dati as the driver does.
  void leggi(const std::string& linea, const std::string& corsa = sorgente_corsa(),
             int32_t flag = 1) {
    scrivi_testo(linea_txt(), linea);
    scrivi_testo(corsa_txt(), corsa);
    form.scrivi_linea = flag;
    form.codice_errore = 0;
    form.posizione_errore = 0;
    form.azzera_tabella();
    form.memorizza_dati();
  }

  // Writes both sources and runs the whole compiler driver as compila_scenario
  // does; returns the exit status.
  int compila(const std::string& linea, const std::string& corsa, int32_t flag = 1) {
    scrivi_testo(linea_txt(), linea);
    scrivi_testo(corsa_txt(), corsa);
    return form.esegui([&] {
      int32_t j = flag;
      form.memorizza_percorso(j);
      form.termina_compilazione();
    });
  }

  // A run over a plain line of L metres with the given run rows.
  void leggi_corsa(std::initializer_list<std::string_view> righe, int32_t L = 124000) {
    leggi(sorgente_linea(L), sorgente_corsa(righe), 0);
  }

  bool esiste(const std::filesystem::path& f) const { return std::filesystem::exists(f); }
  const cella& c(int i) const { return form.celle.at(static_cast<size_t>(i)); }
};
