#include "compiler/file_compilati.h"

#include "app/file_disco.h"
#include "app/form1.h"
#include "compiler/codifica.h"

std::string codifica_linea(const punti_piano& punti) {
  codifica b;
  const int32_t ultimo = punti.ultimo();
  b.riserva(2 * (static_cast<size_t>(ultimo) + 1) * 10);
  for (int k = 0; k < 2; ++k) {
    for (int32_t m = 0; m <= ultimo; ++m) {
      const uint16_t t = punti.tipo(m, k);
      b.parola(t);
      if (t == tipo_valore::intero)
        b.intero(static_cast<int16_t>(punti.valore(m, k)));
      else if (t == tipo_valore::doppio)
        b.doppio(punti.valore(m, k));
    }
  }
  return b.dati();
}

std::string codifica_tabella(const std::array<voce_corsa, 87>& tabella) {
  codifica b;
  b.riserva(tabella.size() * byte_voce_vuota + 1024);
  for (const voce_corsa& v : tabella) {
    b.byte(v.tipo);
    b.lungo(v.inizio);
    b.lungo(v.fine);
    b.lungo(v.progressiva);
    b.byte(v.byte1);
    b.testo(v.nome);
    b.intero(v.intero1);
    b.intero(v.intero2);
    b.intero(v.intero3);
    b.intero(v.intero4);
    b.intero(v.intero5);
    b.byte(v.byte2);
    b.byte(v.byte3);
    b.byte(v.byte4);
    b.byte(v.byte5);
    b.lungo(v.orario);
  }
  return b.dati();
}

std::string codifica_tracciato(const std::vector<cella>& celle) {
  codifica b;
  b.riserva(celle.size() * byte_cella);
  for (const cella& c : celle) {
    b.byte(c.tipo);
    b.intero(c.dato1);
    b.intero(c.dato2);
    b.intero(c.dato3);
    b.intero(c.dato4);
    b.byte(c.dato5);
    b.byte(c.dato6);
    b.byte(c.montagna);
    b.byte(c.velocita);
    b.byte(c.pendenza);
    b.byte(c.aderenza);
  }
  return b.dati();
}

void Form1::scrivi_compilati() {
  if (scrivi_linea != 0) sostituisci_file(file_linea(), codifica_linea(punti_linea));
  sostituisci_file(file_tabella(), codifica_tabella(tabella_corsa));
  sostituisci_file(file_tracciato(), codifica_tracciato(celle));
}
