// Fuzz target of the two source readers, driven the way the program drives
// them: both source files are laid into a folder and the compiler's driver
// runs, up to the compiled files.
//
// Input layout:
//   byte 0        flags: bit 0 = scrivi_linea, bit 1 = no line source file,
//                 bit 2 = no run source file ('1' compiles everything)
//   bytes 1..     the line source, then the separator, then the run source;
//                 without a separator the run source is empty
//
// Whatever the bytes, a run must end with a defined exit status, and the files
// it leaves must be what the records say: the checks below abort otherwise.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "compiler/codifica.h"
#include "compiler/compilatore.h"
#include "compiler/file_compilati.h"
#include "sistema/file_disco.h"
#include "sistema/fine_programma.h"

namespace fs = std::filesystem;

namespace {

constexpr std::string_view separatore = "@@@corsa@@@";

// The folder of every run, made once.
fs::path* cartella_ = nullptr;

void togli_cartella() {
  std::error_code ec;
  if (cartella_ != nullptr) fs::remove_all(*cartella_, ec);
}

// A RAM-backed folder when the machine has one: every run writes files.
fs::path cartella_di_lavoro() {
  std::error_code ec;
  const fs::path base =
      fs::is_directory("/dev/shm", ec) ? fs::path("/dev/shm") : fs::temp_directory_path();
  fs::path c = base / ("fuzz_scenario_" + std::to_string(::getpid()));
  fs::create_directories(c);
  return c;
}

void svuota(const fs::path& cartella) {
  for (const auto& voce : fs::directory_iterator(cartella)) fs::remove_all(voce.path());
}

void scrivi(const fs::path& file, std::string_view testo) {
  std::ofstream f(file, std::ios::binary);
  f.write(testo.data(), static_cast<std::streamsize>(testo.size()));
}

void verifica(bool condizione) {
  if (!condizione) __builtin_trap();
}

// The table file walked entry by entry must end exactly at its last byte.
void verifica_tabella(const std::string& b, const compilatore& form) {
  decodifica in(b);
  for (const voce_corsa& v : form.tabella_corsa) {
    voce_corsa letta;
    campi(in, letta);
    verifica(in.ok() && letta.nome == v.nome);
  }
  verifica(in.finito());
}

// The line file: two halves of L + 7001 tagged values each, every one empty,
// an Integer or a Double, and nothing after them.
void verifica_linea(const std::string& b, int32_t ultimo) {
  decodifica in(b);
  for (int64_t i = 0; i < 2 * (int64_t{ultimo} + 1); ++i) {
    uint16_t tipo = 0;
    double v = 0;
    verifica(leggi_valore(in, tipo, v));
  }
  verifica(in.finito());
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  cartella_ = new fs::path(cartella_di_lavoro());
  std::atexit(togli_cartella);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, size_t n) {
  if (n == 0) return 0;
  const int bandiere = dati[0];
  const std::string_view resto(reinterpret_cast<const char*>(dati) + 1, n - 1);
  const size_t taglio = resto.find(separatore);
  const std::string_view linea = resto.substr(0, taglio);
  const std::string_view corsa = taglio == std::string_view::npos
                                     ? std::string_view()
                                     : resto.substr(taglio + separatore.size());

  svuota(*cartella_);
  compilatore form;
  form.cartella = *cartella_;
  form.nome_scenario = "Ombrasca1";
  form.numero_treno = "5817";
  if ((bandiere & 2) == 0) scrivi(form.file_sorgente_linea(), linea);
  if ((bandiere & 4) == 0) scrivi(form.file_sorgente_corsa(), corsa);

  const int32_t scrivi_linea = bandiere & 1;
  int stato = stato_uscita::successo;
  try {
    int32_t j = scrivi_linea;
    form.memorizza_percorso(j);
    if (form.problema.presente()) stato = stato_uscita::errori_compilazione;
  } catch (const compilazione_fermata&) {
    stato = stato_uscita::fermato;
  } catch (const errore_file&) {
    stato = stato_uscita::errore_file;
  }

  std::error_code ec;
  // A line source that was there has been read, and is gone on every path.
  verifica(!fs::exists(form.file_sorgente_linea(), ec));
  const bool linea_scritta = fs::exists(form.file_linea(), ec);
  const bool tabella_scritta = fs::exists(form.file_tabella(), ec);
  const bool tracciato_scritto = fs::exists(form.file_tracciato(), ec);
  switch (stato) {
    case stato_uscita::successo:
    case stato_uscita::errori_compilazione: {
      verifica((stato == stato_uscita::successo) == (form.problema.codice == 0));
      verifica(linea_scritta == (scrivi_linea != 0) && tabella_scritta && tracciato_scritto);
      const std::string tracciato = leggi_file(form.file_tracciato());
      verifica(form.ultima_cella >= 2);
      verifica(form.celle.size() == static_cast<size_t>(form.ultima_cella) + 1);
      verifica(tracciato.size() == byte_cella * form.celle.size());
      verifica(leggi_a<int16_t>(tracciato, byte_cella + 1) == formato_tracciato);
      verifica_tabella(leggi_file(form.file_tabella()), form);
      if (scrivi_linea != 0) {
        verifica(form.punti_linea.ultimo() == form.lunghezza_estesa);
        verifica_linea(leggi_file(form.file_linea()), form.lunghezza_estesa);
      }
      break;
    }
    case stato_uscita::fermato:
      // Stopped before any compiled file was touched.
      verifica(!linea_scritta && !tabella_scritta && !tracciato_scritto);
      break;
    default:
      // The folder is writable: no other end is possible.
      verifica(false);
  }
  return 0;
}
