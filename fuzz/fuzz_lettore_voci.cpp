// Fuzz target of the item reader that both source readers stand on. The
// input is a script and a file: the first byte says how many script bytes
// follow (at most 16), each picks the kind of the next item to read; the
// reader then reads the rest to its end, cycling through the script.
//
// The checks: every read consumes at least one byte (so no source can make a
// reader loop), a read at the end of the file is a read failure, a number
// that fits is returned in its field's range, and a text item holds no
// separator that should have ended it; the keyword tests agree with a plain
// search.
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

#include "compiler/lettore_voci.h"

namespace {

void verifica(bool condizione) {
  if (!condizione) __builtin_trap();
}

bool spazio(char c) { return c == ' ' || c == '\t'; }

// The keyword test ignores the case of ASCII letters only.
bool contiene_ic_atteso(std::string_view voce, std::string_view parola) {
  auto minuscole = [](std::string_view s) {
    std::string r(s);
    for (char& c : r)
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return r;
  };
  return minuscole(voce).find(minuscole(parola)) != std::string::npos;
}

// Unquoted text stops at a comma or a line end and carries no outer blanks:
// a text that holds either came from quotes, and so holds no quote.
void verifica_testo(std::string_view voce) {
  const bool separatori = voce.find_first_of(",\r\n") != std::string_view::npos;
  const bool spazi_esterni = !voce.empty() && (spazio(voce.front()) || spazio(voce.back()));
  if (separatori || spazi_esterni) verifica(voce.find('"') == std::string_view::npos);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, size_t n) {
  if (n == 0) return 0;
  const size_t passi = dati[0] % 17;
  if (n < 1 + passi) return 0;
  const std::string_view copione(reinterpret_cast<const char*>(dati) + 1, passi);
  const std::string testo(reinterpret_cast<const char*>(dati) + 1 + passi, n - 1 - passi);

  lettore_voci in(testo);
  size_t letture = 0;
  int32_t riga = 1;
  while (!in.fine()) {
    verifica(++letture <= testo.size());
    const int tipo = passi == 0 ? 0 : static_cast<uint8_t>(copione[letture % passi]) % 5;
    try {
      switch (tipo) {
        case 0: {
          const std::string_view voce = in.testo();
          verifica_testo(voce);
          // The script doubles as a keyword to look for in the item.
          verifica(contiene_ic(voce, copione) == contiene_ic_atteso(voce, copione));
          verifica(contiene(voce, copione) == (voce.find(copione) != std::string_view::npos));
          break;
        }
        case 1: {
          const double v = in.numero();
          verifica(!std::isnan(v));
          break;
        }
        case 2:
          in.i32();
          break;
        case 3: {
          const int16_t v = in.i16();
          verifica(v >= -32768 && v <= 32767);
          break;
        }
        case 4:
          in.u8();
          break;
      }
    } catch (const errore_lettura&) {
      // Only a number too big for its field fails before the end of the file
      // (blanks alone may be left before it); its item is consumed all the same.
      verifica(tipo >= 2 || in.fine());
    }
    verifica(in.riga_voce() >= riga);
    riga = in.riga_voce();
  }
  // At the end of the file every kind of read is a read failure.
  bool fallita = false;
  try {
    in.testo();
  } catch (const errore_lettura&) {
    fallita = true;
  }
  verifica(fallita);
  return 0;
}
