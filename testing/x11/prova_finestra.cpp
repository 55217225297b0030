// Test-only program that drives the real windows (X11, or Win32 where it is
// built for Windows) for the tests that run under a virtual display:
//   prova_finestra attesa            shows the wait window, says "pronta" on
//                                    standard output once it is drawn, and
//                                    closes it when standard input closes;
//   prova_finestra fermata CARTELLA  compiles in CARTELLA sources whose signal
//                                    takes the track's header cell, so the
//                                    compiler's error stop shows its box; the
//                                    exit status is the one the program gives;
//   prova_finestra guasto CARTELLA   compiles in CARTELLA sources without a
//                                    fault, for a test that has put a folder
//                                    where a compiled file goes: the failed
//                                    write shows its box.
// Exit status 2: no display could be opened (no visible desktop), or wrong
// arguments.
#include <iostream>
#include <string>

#include "app/form1.h"
#include "sistema/file_disco.h"
#ifdef _WIN32
#include "app/win32/piattaforma_win32.h"
#else
#include "app/x11/piattaforma_x11.h"
#endif

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

// A real compilation of a run source with the given rows; with a signal on
// cell 1, the track file's header, the compiler's error stop shows its box
// and ends the run.
int compila(piattaforma& p, const std::string& righe_corsa) {
  Form1 form(p);
  form.nome_scenario = "Ombrasca1";
  form.numero_treno = "5817";
  sostituisci_file(form.file_sorgente_linea(),
                   "[generale]\r\nlunghezza percorso,    1000\r\n[curve]\r\n[fine]\r\n");
  sostituisci_file(form.file_sorgente_corsa(), "[generale]\r\n" + righe_corsa + "[fine]\r\n");
  return form.esegui([&] {
    p.mostra_attesa();
    int32_t j = 1;
    form.memorizza_percorso(j);
    form.termina_compilazione();
  });
}

}  // namespace

int main(int argc, char** argv) {
  const std::string modo = argc > 1 ? argv[1] : "";
  if (modo != "attesa" && !((modo == "fermata" || modo == "guasto") && argc > 2)) {
    std::cerr << "uso: prova_finestra attesa | fermata CARTELLA | guasto CARTELLA" << std::endl;
    return 2;
  }
  auto resto = std::make_unique<cartella_data>(argc > 2 ? argv[2] : ".");
#ifdef _WIN32
  if (!desktop_visibile()) {
    std::cerr << "nessuno schermo" << std::endl;
    return 2;
  }
  auto p = crea_piattaforma_win32(std::move(resto));
#else
  auto schermo = apri_schermo_x11();
  if (!schermo) {
    std::cerr << "nessuno schermo" << std::endl;
    return 2;
  }
  auto p = crea_piattaforma_x11(std::move(schermo), std::move(resto));
#endif
  if (modo == "attesa") return attesa(*p);
  return compila(*p,
                 modo == "fermata" ? "segnale,   0,   2, 2, 3,  0, 0,    0,  0,0,0, 0\r\n" : "");
}
