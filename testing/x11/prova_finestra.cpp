// Test-only program that drives the real X11 windows for the tests that run
// under a virtual display:
//   prova_finestra attesa            shows the wait window, says "pronta" on
//                                    standard output once it is drawn, and
//                                    closes it when standard input closes;
//   prova_finestra fermata CARTELLA  a run in CARTELLA whose header slot is
//                                    already taken, so the compiler's error
//                                    stop shows its box; the exit status is
//                                    the one the program would give.
// Exit status 2: no display could be opened, or wrong arguments.
#include <iostream>
#include <string>

#include "app/form1.h"
#include "app/x11/piattaforma_x11.h"

namespace {

// Everything that is not a window: a given folder and standard error.
class cartella_data final : public piattaforma {
 public:
  explicit cartella_data(std::filesystem::path cartella) : cartella_(std::move(cartella)) {}
  std::filesystem::path cartella_programma() override { return cartella_; }
  void mostra_attesa() override {}
  void chiudi_attesa() override {}
  void messaggio_errore(const std::string& testo) override { std::cerr << testo << std::endl; }
  void segnala(const std::string& testo) override { std::cerr << testo << std::endl; }

 private:
  std::filesystem::path cartella_;
};

int attesa(piattaforma& p) {
  p.mostra_attesa();
  std::cout << "pronta" << std::endl;
  std::string riga;
  while (std::getline(std::cin, riga)) {
  }
  p.chiudi_attesa();
  return 0;
}

// The end of the compiler's road, as Form1::avvia runs it: header slots, then
// the compiled files, the error stop in between ending the run.
int fermata(piattaforma& p) {
  Form1 form(p);
  form.nome_scenario = "Ombrasca1";
  form.numero_treno = "5817";
  p.mostra_attesa();
  form.celle.assign(3, cella{});
  form.celle[1].dato1 = 1;
  int stato = stato_uscita::successo;
  try {
    form.riempi_intestazioni();
    form.scrivi_compilati();
  } catch (const fine_programma& fine) {
    stato = fine.stato;
  }
  p.chiudi_attesa();
  return stato;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string modo = argc > 1 ? argv[1] : "";
  if (modo != "attesa" && !(modo == "fermata" && argc > 2)) {
    std::cerr << "uso: prova_finestra attesa | fermata CARTELLA" << std::endl;
    return 2;
  }
  auto schermo = apri_schermo_x11();
  if (!schermo) {
    std::cerr << "nessuno schermo" << std::endl;
    return 2;
  }
  auto p = crea_piattaforma_x11(std::move(schermo),
                                std::make_unique<cartella_data>(argc > 2 ? argv[2] : "."));
  return modo == "attesa" ? attesa(*p) : fermata(*p);
}
