#include "compiler/file_compilati.h"

#include <algorithm>

#include "app/file_disco.h"
#include "app/form1.h"
#include "compiler/codifica.h"

namespace {
// The line file's pieces on their way to the disk: large enough that each
// write is a big one, small enough to stay in the cache.
constexpr size_t pezzo_linea = 256 * 1024;
}  // namespace

uint64_t byte_coordinata(const punti_piano& punti, int k) {
  return 2 * uint64_t{punti.quanti(k, tipo_valore::vuoto)} +
         4 * uint64_t{punti.quanti(k, tipo_valore::intero)} +
         10 * uint64_t{punti.quanti(k, tipo_valore::doppio)};
}

void codifica_linea_a_pezzi(const punti_piano& punti, size_t pezzo,
                            const consegna_pezzo& consegna) {
  // The one loop that runs per metre of the line: each coordinate is
  // written through a local cursor into a piece of its own. The file lists
  // every first coordinate before any second one, so the second part's
  // pieces go where the first part ends.
  pezzo = std::max<size_t>(pezzo, 1);
  // Room for a piece and a whole block of elements more: within a block the
  // cursors move with no test and no call, and full pieces are handed over
  // between blocks. The cursors are plain locals, so that they stay in
  // registers.
  const size_t capienza = pezzo + punti_piano::metri_per_blocco * 10;
  std::string bx(capienza, '\0');
  std::string by(capienza, '\0');
  char* const ix = bx.data();
  char* const iy = by.data();
  char* px = ix;
  char* py = iy;
  uint64_t posizione_x = 0;
  uint64_t posizione_y = byte_coordinata(punti, 0);
  const auto elemento = [](char* p, uint16_t t, double v) {
    p = scrivi_le(p, t);
    if (t == tipo_valore::intero)
      return scrivi_le(p, static_cast<uint16_t>(static_cast<int16_t>(v)));
    if (t == tipo_valore::doppio) return scrivi_le(p, bit_doppio(v));
    return p;
  };
  const auto consegna_parte = [&](uint64_t& posizione, char* inizio, char*& p, size_t almeno) {
    const size_t n = static_cast<size_t>(p - inizio);
    if (n == 0 || n < almeno) return;
    consegna(posizione, {inizio, n});
    posizione += n;
    p = inizio;
  };
  punti.percorri(
      [&](uint16_t tx, double vx, uint16_t ty, double vy) {
        px = elemento(px, tx, vx);
        py = elemento(py, ty, vy);
      },
      [&] {
        consegna_parte(posizione_x, ix, px, pezzo);
        consegna_parte(posizione_y, iy, py, pezzo);
      });
  consegna_parte(posizione_x, ix, px, 1);
  consegna_parte(posizione_y, iy, py, 1);
}

std::string codifica_linea(const punti_piano& punti) {
  std::string s(byte_coordinata(punti, 0) + byte_coordinata(punti, 1), '\0');
  codifica_linea_a_pezzi(punti, pezzo_linea, [&s](uint64_t posizione, std::string_view p) {
    s.replace(posizione, p.size(), p);
  });
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
    linea.riserva(byte_coordinata(punti_linea, 0) + byte_coordinata(punti_linea, 1));
    codifica_linea_a_pezzi(
        punti_linea, pezzo_linea,
        [&linea](uint64_t posizione, std::string_view p) { linea.scrivi_a(posizione, p); });
    linea.conferma();
  }
  sostituisci_file(file_tabella(), codifica_tabella(tabella_corsa));
  sostituisci_file(file_tracciato(), codifica_tracciato(celle));
}
