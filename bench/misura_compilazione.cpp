// The whole job and its stages, in process, each in a temporary folder:
//  - the main program's run on the carried scenario (sources, documents,
//    compiled files);
//  - compila_scenario on generated lines of 100, 500 and 1 000 km;
//  - at 1 000 km, the stages one by one: reading both sources into the
//    records (the plan as its stretches), the post-pass, computing the plan
//    into the line file's encoding, encoding and writing the three files.
#include <benchmark/benchmark.h>

#include <sstream>

#include "bench/genera_sorgenti.h"
#include "compiler/file_compilati.h"
#include "testing/compilazione_prova.h"
#include "testing/prova_piattaforma.h"
#include "tools/compila/compila.h"

namespace {

constexpr int32_t metri_lunga = 1000000;

int64_t dimensione(const std::filesystem::path& f) {
  std::error_code ec;
  const auto n = std::filesystem::file_size(f, ec);
  return ec ? 0 : static_cast<int64_t>(n);
}

void BM_programma_scenario_portato(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    form_in_prova p;
    state.ResumeTiming();
    const int stato = p.form.avvia();
    if (stato != 0) {
      state.SkipWithError(("il programma esce con stato " + std::to_string(stato)).c_str());
      return;
    }
  }
}

void BM_compila_scenario(benchmark::State& state) {
  const int32_t metri = static_cast<int32_t>(state.range(0)) * 1000;
  cartella_temporanea cartella;
  scrivi_sorgenti(cartella.percorso(), "Lunga", "1", metri);
  const std::vector<std::string> argomenti{cartella.percorso().string(), "Lunga", "1"};
  for (auto _ : state) {
    std::ostringstream uscita, errori;
    if (compila_scenario(argomenti, uscita, errori) != 0) {
      state.SkipWithError(errori.str().c_str());
      return;
    }
  }
  const int64_t uscite = dimensione(cartella / "Lunga_linea.dat") +
                         dimensione(cartella / "Lunga_1.sim") +
                         dimensione(cartella / "Lunga_1.dat");
  state.SetBytesProcessed(state.iterations() * uscite);
  state.counters["s_per_km"] = benchmark::Counter(
      static_cast<double>(state.range(0)),
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// A compiler whose records hold the compiled 1 000 km line: the sources are
// written afresh for every read, since reading deletes them.
struct linea_lunga : compilazione_prova {
  sorgenti_generate sorgenti = genera_sorgenti(metri_lunga);
  void scrivi_sorgenti() {
    scrivi_testo(compilazione.file_sorgente_linea(), sorgenti.linea);
    scrivi_testo(compilazione.file_sorgente_corsa(), sorgenti.corsa);
  }
  // Everything memorizza_percorso does before it reads the sources.
  void prepara() {
    scrivi_sorgenti();
    compilazione.scrivi_linea = 1;
    compilazione.problema = {};
    compilazione.azzera_tabella();
  }
  void leggi() {
    prepara();
    compilazione.memorizza_dati();
  }
};

void BM_fase_lettura_sorgenti(benchmark::State& state) {
  linea_lunga l;
  for (auto _ : state) {
    state.PauseTiming();
    l.prepara();
    state.ResumeTiming();
    l.compilazione.memorizza_dati();
  }
  if (l.compilazione.problema.codice != 0) state.SkipWithError("errore di compilazione");
}

void BM_fase_completa_celle(benchmark::State& state) {
  linea_lunga l;
  l.leggi();
  const std::vector<cella> lette = l.compilazione.celle;
  for (auto _ : state) {
    state.PauseTiming();
    l.compilazione.celle = lette;
    state.ResumeTiming();
    l.compilazione.completa_celle();
  }
}

// The plan computed and encoded as the line file: the pieces go nowhere.
void BM_fase_codifica_linea(benchmark::State& state) {
  linea_lunga l;
  l.leggi();
  size_t byte = 0;
  for (auto _ : state) {
    byte = 0;
    codifica_linea_a_pezzi(l.compilazione.punti_linea, 256 * 1024,
                           [&byte](uint64_t, std::string_view p) {
                             benchmark::DoNotOptimize(p.data());
                             byte += p.size();
                           });
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * byte));
}

// Encoding and writing the three files, as the driver does.
void BM_fase_scrivi_compilati(benchmark::State& state) {
  linea_lunga l;
  l.leggi();
  for (auto _ : state) l.compilazione.scrivi_compilati();
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          (dimensione(l.compilazione.file_linea()) +
                           dimensione(l.compilazione.file_tabella()) +
                           dimensione(l.compilazione.file_tracciato())));
}

BENCHMARK(BM_programma_scenario_portato)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_compila_scenario)->Arg(100)->Arg(500)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_fase_lettura_sorgenti)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_fase_completa_celle)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_fase_codifica_linea)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_fase_scrivi_compilati)->Unit(benchmark::kMillisecond);

}  // namespace
