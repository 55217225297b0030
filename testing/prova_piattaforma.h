// Test doubles: a platform that keeps the program's folder in a fresh
// temporary folder and records what the program would have shown.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "app/form1.h"
#include "testing/cartella_prova.h"

class piattaforma_prova final : public piattaforma {
 public:
  explicit piattaforma_prova(std::filesystem::path cartella) : cartella_(std::move(cartella)) {}
  std::filesystem::path cartella_programma() override { return cartella_; }
  void mostra_attesa() override { ++attese; }
  void chiudi_attesa() override { ++chiusure; }
  void messaggio_errore(const std::string& testo) override { messaggi.push_back(testo); }
  void segnala(const std::string& testo) override { segnalazioni.push_back(testo); }

  int attese = 0;
  int chiusure = 0;
  std::vector<std::string> messaggi;
  std::vector<std::string> segnalazioni;

 private:
  std::filesystem::path cartella_;
};

// A Form1 in a temporary folder, with the names of the carried scenario.
struct form_in_prova {
  cartella_temporanea cartella;
  piattaforma_prova piattaforma{cartella.percorso()};
  Form1 form{piattaforma};
  form_in_prova() {
    form.nome_scenario = "Ombrasca1";
    form.numero_treno = "5817";
  }
};
