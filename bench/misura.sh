#!/usr/bin/env bash
# Measures the program where authors feel it, from the repository root:
#
#     bash bench/misura.sh
#
# 1. builds the benchmarks (build-misure/, Release, -DSCENARIO_BENCH=ON) and
#    runs them: the item reader, the whole job in process, its stages;
# 2. runs, as whole processes, the main program on the carried scenario and
#    compila_scenario on generated lines of 100, 500 and 1 000 km, and prints
#    the wall time (median of RIPETIZIONI runs) and the peak memory of each
#    beside the time that cp takes to copy the same output bytes on this
#    machine in this run, and their ratio.
#
# Environment: RIPETIZIONI (default 7), BUILD (default build-misure),
# SOLO_PROCESSI=1 skips the benchmarks. Extra arguments go to the benchmarks
# (for instance --benchmark_filter=compila).
set -euo pipefail

radice=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD:-$radice/build-misure}
ripetizioni=${RIPETIZIONI:-7}

# Google Benchmark is the one thing the normal build does not need.
if [ ! -f /usr/include/benchmark/benchmark.h ]; then
  if [ "$(id -u)" = 0 ]; then
    apt-get update -qq && apt-get install -y -qq libbenchmark-dev >/dev/null
  else
    echo "manca Google Benchmark: apt-get install libbenchmark-dev" >&2
    exit 1
  fi
fi

cmake -S "$radice" -B "$build" -DCMAKE_BUILD_TYPE=Release -DSCENARIO_BENCH=ON \
  -DSCENARIO_TESTS=OFF >/dev/null
cmake --build "$build" -j2 --target misure_scenario genera_sorgenti cronometro \
  compila_scenario genera_scenario >/dev/null

echo "== Macchina"
echo "processori: $(nproc)"
echo "CPU: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')"
lavoro=$(mktemp -d "$build/misure.XXXXXX")
trap 'rm -rf "$lavoro"' EXIT
echo "disco: $(df -hT "$lavoro" | awk 'NR==2 {print $1 ", " $2 ", " $3}')"
echo "ripetizioni per misura: $ripetizioni"

if [ "${SOLO_PROCESSI:-0}" != 1 ]; then
  echo
  echo "== Benchmark"
  "$build/misure_scenario" "$@"
fi

cronometro="$build/cronometro"

# The median of the numbers on standard input.
mediana() { sort -g | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'; }

# Runs "$@" RIPETIZIONI times, each after `prima` (untimed) and a sync; sets
# secondi (median wall time), kb (peak memory, the largest) and stato (the
# exit status of the last run).
misura() {
  local prima=$1
  shift
  local tempi=() riga
  kb=0
  for ((r = 0; r < ripetizioni; r++)); do
    $prima
    sync
    riga=$("$cronometro" "$@" 2>/dev/null)
    read -r t m stato <<<"$riga"
    tempi+=("$t")
    ((m > kb)) && kb=$m
  done
  secondi=$(printf '%s\n' "${tempi[@]}" | mediana)
}

byte_di() { stat -c %s "$@" | awk '{s += $1} END {print s + 0}'; }

printf -v intestazione '%-34s %12s %10s %10s %10s %9s' \
  "misura" "byte scritti" "tempo ms" "picco MB" "cp ms" "rapporto"

# Prints a row: name, wall seconds, peak MB, then the files written; the
# copy of those files into a fresh folder is measured here. Both sides write
# new files: the program's outputs are removed before each of its runs too.
riga_tabella() {
  local nome=$1 t=$2 mb=$3
  shift 3
  local copia="$lavoro/copia"
  svuota_copia() { rm -rf "$copia"; mkdir "$copia"; }
  local byte
  byte=$(byte_di "$@")
  misura svuota_copia cp "$@" "$copia/"
  awk -v n="$nome" -v b="$byte" -v t="$t" -v m="$mb" -v c="$secondi" \
    'BEGIN {printf "%-34s %12d %10.1f %10.1f %10.1f %9.2f\n", n, b, t * 1000, m, c * 1000, t / c}'
}

echo
echo "== Processi interi (mediana di $ripetizioni)"
echo "$intestazione"

# The main program writes beside itself: a copy of it in a folder of its own.
programma="$lavoro/programma"
mkdir "$programma"
cp "$build/genera_scenario" "$programma/"
pulisci_programma() { find "$programma" -mindepth 1 ! -name genera_scenario -delete; }
misura pulisci_programma "$programma/genera_scenario"
if [ "$stato" = 0 ]; then
  mapfile -t uscite < <(find "$programma" -mindepth 1 -type f ! -name genera_scenario | sort)
  riga_tabella "genera_scenario (scenario portato)" "$secondi" \
    "$(awk -v k="$kb" 'BEGIN {print k / 1024}')" "${uscite[@]}"
else
  echo "genera_scenario: esce con stato $stato (il dato portato non c'e' ancora?): non misurato"
fi

declare -A per_km
for km in 100 500 1000; do
  cartella="$lavoro/km$km"
  mkdir "$cartella"
  "$build/genera_sorgenti" "$cartella" Lunga 1 "$km"
  pulisci_compilati() { rm -f "$cartella"/Lunga_linea.dat "$cartella"/Lunga_1.sim "$cartella"/Lunga_1.dat; }
  misura pulisci_compilati "$build/compila_scenario" "$cartella" Lunga 1
  if [ "$stato" != 0 ]; then
    echo "compila_scenario a $km km: stato $stato" >&2
    exit 1
  fi
  per_km[$km]=$secondi
  riga_tabella "compila_scenario $km km" "$secondi" "$(awk -v k="$kb" 'BEGIN {print k / 1024}')" \
    "$cartella"/Lunga_linea.dat "$cartella"/Lunga_1.sim "$cartella"/Lunga_1.dat
done

echo
echo "== Crescita con la lunghezza (compila_scenario)"
awk -v a="${per_km[100]}" -v b="${per_km[500]}" -v c="${per_km[1000]}" 'BEGIN {
  printf "ms per km: %.3f (100 km)  %.3f (500 km)  %.3f (1000 km)\n", a * 10, b * 2, c
  printf "ms per km in piu: %.3f (da 100 a 500 km)  %.3f (da 500 a 1000 km)\n",
    (b - a) * 1000 / 400, (c - b) * 1000 / 500
}'
