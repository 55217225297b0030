// Fuzz target of esamina_scenario's reading: three compiled files, damaged in
// any way, must be read back, checked, reported, written as JSON and drawn
// without a crash, a hang or undefined behaviour.
//
// Input layout:
//   byte 0   flags: bit 0, 1, 2 = the line, table, track file is missing
//   bytes 1.. the line file, the separator, the table file, the separator,
//            the track file (a missing separator leaves the later files empty)
#include <cstdint>
#include <string_view>

#include "tools/esamina/descrizione.h"
#include "tools/esamina/json.h"
#include "tools/esamina/rapporto.h"
#include "tools/esamina/svg.h"
#include "tools/esamina/validazione.h"

namespace {

constexpr std::string_view separatore = "@@@file@@@";

std::string_view taglia(std::string_view& resto) {
  const size_t dove = resto.find(separatore);
  const std::string_view pezzo = resto.substr(0, dove);
  resto =
      dove == std::string_view::npos ? std::string_view() : resto.substr(dove + separatore.size());
  return pezzo;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, size_t n) {
  if (n == 0) return 0;
  const uint8_t flag = dati[0];
  std::string_view resto(reinterpret_cast<const char*>(dati + 1), n - 1);
  contenuti file;
  const std::string_view linea = taglia(resto);
  const std::string_view tabella = taglia(resto);
  const std::string_view tracciato = taglia(resto);
  if (!(flag & 1)) file.linea = linea;
  if (!(flag & 2)) file.tabella = tabella;
  if (!(flag & 4)) file.tracciato = tracciato;

  const scenario_letto s = esamina(file, "Ombrasca1", "5817");
  const descrizione d = descrivi(s);
  volatile size_t usato =
      rapporto(s, d).size() + documento_json(s, d).size() + disegno_svg(s, d).size();
  (void)usato;
  return 0;
}
