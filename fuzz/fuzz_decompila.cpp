// Fuzz target of decompila_scenario. The input is a pair of sources, laid out
// as for fuzz_sorgenti; they are compiled, and when the compiler ends with
// code 0 the compiled files go through the round trip: sources back from
// them, compiled again, every file compared byte for byte.
//
// Input layout:
//   byte 0        flags: bit 0 = with the line file (without it there is no
//                 curve to recover), bit 1 = no line source, bit 2 = no run
//                 source, bit 3 = damage the compiled files before reading
//                 them back (any outcome but a crash or a hang is good)
//   bytes 1..     the line source, the separator "@@@corsa@@@", the run source
//
// The tool must say the truth: exit 0 when every byte comes back, exit 1
// (naming the parts) when some do not; any other outcome, a crash or a
// silent difference, aborts the run. With DECOMPILA_CONTA=1 in the
// environment it is counted instead, and the counts of round trips, of those
// that differ and of wrong outcomes are printed when the run ends, with the
// refusals by kind: the tool's first problem line, its numbers as N.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <string_view>

#include "compiler/nomi_scenario.h"
#include "sistema/file_disco.h"
#include "sistema/fine_programma.h"
#include "tools/compila/compila.h"
#include "tools/decompila/comando.h"

namespace fs = std::filesystem;

namespace {

constexpr std::string_view separatore = "@@@corsa@@@";
const std::string nome = "Ombrasca1";
const std::string treno = "5817";

fs::path cartella;
bool conta = false;
uint64_t andate = 0;
uint64_t differenze = 0;                  // round trips that did not give the same bytes
uint64_t dette = 0;                       // ... that the tool said so of (exit 1)
uint64_t smentite = 0;                    // the tool's exit status said otherwise than the bytes
std::map<std::string, uint64_t> rifiuti;  // kind of refusal -> how many

// The kind of a refusal: the first problem line without the file's name,
// every run of digits as N.
std::string tipo_di_rifiuto(const std::string& errori) {
  std::string riga = errori.substr(0, errori.find('\n'));
  if (const size_t due_punti = riga.find(": "); due_punti != std::string::npos)
    riga.erase(0, due_punti + 2);
  std::string tipo;
  for (const char c : riga) {
    const bool cifra = c >= '0' && c <= '9';
    if (!cifra)
      tipo += c;
    else if (tipo.empty() || tipo.back() != 'N')
      tipo += 'N';
  }
  return tipo;
}

void fine_del_giro() {
  std::error_code ec;
  fs::remove_all(cartella, ec);
  if (conta)
    std::fprintf(stderr,
                 "decompila: %llu andate e ritorni, %llu con byte diversi (%llu segnalati "
                 "dallo strumento), %llu esiti sbagliati\n",
                 static_cast<unsigned long long>(andate),
                 static_cast<unsigned long long>(differenze),
                 static_cast<unsigned long long>(dette), static_cast<unsigned long long>(smentite));
  if (conta)
    for (const auto& [tipo, quanti] : rifiuti)
      std::fprintf(stderr, "decompila: %llu rifiuti: %s\n", static_cast<unsigned long long>(quanti),
                   tipo.c_str());
}

void scrivi(const fs::path& file, std::string_view testo) {
  std::ofstream f(file, std::ios::binary);
  f.write(testo.data(), static_cast<std::streamsize>(testo.size()));
}

std::optional<std::string> leggi(const fs::path& file) {
  try {
    return leggi_file(file);
  } catch (const errore_file&) {
    return std::nullopt;
  }
}

int esegui(int (*strumento)(const std::vector<std::string>&, std::ostream&, std::ostream&),
           std::vector<std::string> argomenti, bool con_linea, std::string* messaggi = nullptr) {
  if (!con_linea) argomenti.insert(argomenti.begin(), "--senza-linea");
  std::ostringstream uscita, errori;
  const int stato = strumento(argomenti, uscita, errori);
  if (messaggi) *messaggi = errori.str();
  return stato;
}

// The bytes of the input spread over the compiled files: a few changed,
// and one file cut short, where the input says.
void danneggia(const fs::path& dove, std::string_view semi, bool con_linea) {
  const file_scenario f = file_dello_scenario(nome, treno);
  std::vector<fs::path> file = {dove / f.tabella, dove / f.tracciato};
  if (con_linea) file.push_back(dove / f.linea);
  uint64_t h = 1469598103934665603u;
  for (const char c : semi) h = (h ^ static_cast<uint8_t>(c)) * 1099511628211u;
  for (int giro = 0; giro < 4; ++giro) {
    const fs::path& p = file[h % file.size()];
    std::optional<std::string> b = leggi(p);
    h = h * 6364136223846793005u + 1442695040888963407u;
    if (!b || b->empty()) continue;
    if (giro == 3 && (h & 1) != 0) {
      b->resize((h >> 8) % b->size());
    } else {
      (*b)[(h >> 8) % b->size()] = static_cast<char>(h >> 56);
    }
    scrivi(p, *b);
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  std::error_code ec;
  const fs::path base =
      fs::is_directory("/dev/shm", ec) ? fs::path("/dev/shm") : fs::temp_directory_path();
  cartella = base / ("fuzz_decompila_" + std::to_string(::getpid()));
  fs::create_directories(cartella);
  const char* c = std::getenv("DECOMPILA_CONTA");
  conta = c != nullptr && std::string_view(c) == "1";
  std::atexit(fine_del_giro);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, size_t n) {
  if (n == 0) return 0;
  const int bandiere = dati[0];
  const bool con_linea = (bandiere & 1) != 0;
  const std::string_view resto(reinterpret_cast<const char*>(dati) + 1, n - 1);
  const size_t taglio = resto.find(separatore);
  const std::string_view linea = resto.substr(0, taglio);
  const std::string_view corsa = taglio == std::string_view::npos
                                     ? std::string_view()
                                     : resto.substr(taglio + separatore.size());

  std::error_code ec;
  for (const auto& voce : fs::directory_iterator(cartella)) fs::remove_all(voce.path(), ec);
  const fs::path prima = cartella / "prima";
  const fs::path dopo = cartella / "dopo";
  fs::create_directories(prima);
  fs::create_directories(dopo);
  const file_scenario f = file_dello_scenario(nome, treno);
  if ((bandiere & 2) == 0) scrivi(prima / f.sorgente_linea, linea);
  if ((bandiere & 4) == 0) scrivi(prima / f.sorgente_corsa, corsa);
  const int stato = esegui(compila_scenario, {prima.string(), nome, treno}, con_linea);
  fs::remove(prima / f.sorgente_linea, ec);
  fs::remove(prima / f.sorgente_corsa, ec);

  if ((bandiere & 8) != 0) {
    // Damaged files: whatever they hold, the tool ends with one of its states
    // (none of the files, where the sources compiled to nothing).
    danneggia(prima, resto, con_linea);
    const int d =
        esegui(decompila_scenario, {"--in", dopo.string(), prima.string(), nome, treno}, con_linea);
    if (d != stato_uscita::successo && d != stato_uscita::errori_compilazione &&
        d != stato_uscita::errore_file && d != stato_uscita::niente_da_leggere)
      __builtin_trap();
    return 0;
  }
  if (stato != stato_uscita::successo) return 0;

  std::string messaggi;
  const int d = esegui(decompila_scenario, {"--in", dopo.string(), prima.string(), nome, treno},
                       con_linea, &messaggi);
  const int c = esegui(compila_scenario, {dopo.string(), nome, treno}, con_linea);
  bool uguali = c == stato_uscita::successo;
  std::vector<std::string> file = {f.tabella, f.tracciato};
  if (con_linea) file.push_back(f.linea);
  for (const std::string& x : file) uguali = uguali && leggi(prima / x) == leggi(dopo / x);
  ++andate;
  if (!uguali) {
    ++differenze;
    // DECOMPILA_DIFFERENZE=CARTELLA keeps the inputs that did not come back.
    if (const char* dove = std::getenv("DECOMPILA_DIFFERENZE"))
      scrivi(fs::path(dove) / ("differenza-" + std::to_string(differenze)),
             std::string_view(reinterpret_cast<const char*>(dati), n));
  }
  if (d == 1) {
    ++dette;
    if (conta) ++rifiuti[tipo_di_rifiuto(messaggi)];
  }
  // The tool's word must be the truth: 0 only when every byte comes back,
  // 1 (the parts named) only when some do not.
  const bool vero = uguali ? d == stato_uscita::successo : d == 1;
  if (!vero) {
    ++smentite;
    if (!conta) __builtin_trap();
  }
  return 0;
}
