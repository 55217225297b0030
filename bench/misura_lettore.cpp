// Throughput of the item reader, in bytes of source a second: on the carried
// sources and on the sources of a generated 1 000 km line. Each file is read
// to its end twice over: every item as a text item, and every item as a
// number item (the two kinds of read the source readers make).
#include <benchmark/benchmark.h>

#include <string>

#include "bench/genera_sorgenti.h"
#include "compiler/lettore_voci.h"
#include "sources/scenario_portato.h"

namespace {

enum class lettura { testo, numero };

std::string unisci_crlf(std::span<const std::string_view> righe) {
  std::string s;
  for (std::string_view r : righe) {
    s.append(r);
    s.append("\r\n");
  }
  return s;
}

const sorgenti_generate& linea_lunga() {
  static const sorgenti_generate s = genera_sorgenti(1000000);
  return s;
}

void leggi_tutto(benchmark::State& state, const std::string& sorgente, lettura modo) {
  if (sorgente.empty()) {
    state.SkipWithError("sorgente vuota: il dato portato non c'e' ancora");
    return;
  }
  size_t voci = 0;
  for (auto _ : state) {
    state.PauseTiming();
    lettore_voci in(sorgente);  // the reader owns its copy, as after a whole-file read
    state.ResumeTiming();
    while (!in.fine()) {
      if (modo == lettura::testo)
        benchmark::DoNotOptimize(in.testo());
      else
        benchmark::DoNotOptimize(in.numero());
      ++voci;
    }
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * sorgente.size()));
  state.counters["voci"] = benchmark::Counter(static_cast<double>(voci),
                                              benchmark::Counter::kIsRate);
}

void BM_lettore_linea_portata(benchmark::State& state) {
  leggi_tutto(state, unisci_crlf(righe_sorgente_linea()), static_cast<lettura>(state.range(0)));
}
void BM_lettore_corsa_portata(benchmark::State& state) {
  leggi_tutto(state, unisci_crlf(righe_sorgente_corsa()), static_cast<lettura>(state.range(0)));
}
void BM_lettore_linea_1000km(benchmark::State& state) {
  leggi_tutto(state, linea_lunga().linea, static_cast<lettura>(state.range(0)));
}
void BM_lettore_corsa_1000km(benchmark::State& state) {
  leggi_tutto(state, linea_lunga().corsa, static_cast<lettura>(state.range(0)));
}

// Argument 0: every item as text; 1: every item as a number.
BENCHMARK(BM_lettore_linea_portata)->Arg(0)->Arg(1);
BENCHMARK(BM_lettore_corsa_portata)->Arg(0)->Arg(1);
BENCHMARK(BM_lettore_linea_1000km)->Arg(0)->Arg(1);
BENCHMARK(BM_lettore_corsa_1000km)->Arg(0)->Arg(1);

}  // namespace
