#include "compiler/file_compilati.h"

#include "app/file_disco.h"
#include "app/form1.h"
#include "compiler/codifica.h"

namespace {
// The line file's pieces on their way to the disk: large enough that each
// write is a big one, small enough to stay in the cache.
constexpr size_t pezzo_linea = 256 * 1024;
}  // namespace

void codifica_linea_a_pezzi(const punti_piano& punti, size_t pezzo,
                            const std::function<void(std::string_view)>& consegna) {
  // The one loop that runs per element of the file: it writes through a
  // local cursor into a piece that always has room for one more element.
  // The plan is walked once for each coordinate, as the file lists them.
  std::string b(pezzo + 10, '\0');
  char* const inizio = b.data();
  char* p = inizio;
  const auto elemento = [&](uint16_t t, double v) {
    p = scrivi_le(p, t);
    if (t == tipo_valore::intero)
      p = scrivi_le(p, static_cast<uint16_t>(static_cast<int16_t>(v)));
    else if (t == tipo_valore::doppio)
      p = scrivi_le(p, bit_doppio(v));
    if (static_cast<size_t>(p - inizio) >= pezzo) {
      consegna({inizio, static_cast<size_t>(p - inizio)});
      p = inizio;
    }
  };
  punti.percorri(0, elemento);
  punti.percorri(1, elemento);
  if (p != inizio) consegna({inizio, static_cast<size_t>(p - inizio)});
}

std::string codifica_linea(const punti_piano& punti) {
  std::string s;
  s.reserve(2 * (static_cast<size_t>(punti.ultimo()) + 1) * 10);
  codifica_linea_a_pezzi(punti, pezzo_linea, [&s](std::string_view p) { s.append(p); });
  return s;
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
  return b.prendi();
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
  return b.prendi();
}

void Form1::scrivi_compilati() {
  if (scrivi_linea != 0) {
    file_nuovo linea(file_linea());
    codifica_linea_a_pezzi(punti_linea, pezzo_linea,
                           [&linea](std::string_view p) { linea.scrivi(p); });
    linea.conferma();
  }
  sostituisci_file(file_tabella(), codifica_tabella(tabella_corsa));
  sostituisci_file(file_tracciato(), codifica_tracciato(celle));
}
