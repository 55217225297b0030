#!/usr/bin/env bash
# Measures the program where authors feel it, from the repository root:
#
#     bash bench/misura.sh
#
# 1. builds the benchmarks (build-misure/, Release, -DSCENARIO_BENCH=ON) and
#    runs them: the item reader, the whole job in process, its stages;
# 2. runs, as whole processes, the main program on the carried scenario,
#    compila_scenario on generated lines of 100, 500 and 1 000 km, and
#    esamina_scenario and decompila_scenario on the 1 000 km files, and prints
#    the wall time (median of RIPETIZIONI runs) and the peak memory of each
#    beside the time that cp takes to copy the same output bytes on this
#    machine in this run, and their ratio;
# 3. measures the fixed cost apart: compila_scenario --help against true (the
#    start and the end of a process), and compila_scenario on a line of 2 km,
#    with and without its line file, against cp of the same bytes (the start,
#    the private folder, the links and the moves, with almost no work), and
#    splits what compila_scenario takes over cp at 1 000 km into that fixed
#    part and the part that grows with the line.
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
  compila_scenario genera_scenario esamina_scenario decompila_scenario >/dev/null

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

# Statistics of the numbers on standard input.
mediana() { sort -g | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'; }
minimo() { sort -g | head -1; }
massimo() { sort -g | tail -1; }

# One timed run of "$@": sets t (wall s), kb (peak kB), stato, cpu (s). The
# timer prints its line last, after whatever the command itself prints.
una_volta() {
  local riga
  sync
  riga=$("$cronometro" "$@" 2>/dev/null | tail -n 1)
  read -r t kb stato cpu <<<"$riga"
}

# confronta NAME PREPARE LIST -- COMMAND...
# PREPARE (a function) clears the command's outputs; LIST prints them once the
# command has run. The command and a cp of the same files into a fresh folder
# then run in turns, RIPETIZIONI times each, so that whatever else loads the
# machine weighs on both alike; both write new files. With LIST nessuna_uscita
# the command writes nothing and runs in turns with true instead. Prints one
# row; sets ultimo_tempo and ultimo_scarto (the medians' difference, s).
nessuna_uscita() { :; }
niente() { :; }
confronta() {
  local nome=$1 prepara=$2 elenca=$3
  shift 4
  $prepara
  una_volta "$@"
  if [ "$stato" != 0 ]; then
    echo "$nome: esce con stato $stato: non misurato"
    return 1
  fi
  local originali="$lavoro/originali" copia="$lavoro/copia" f
  rm -rf "$originali" && mkdir "$originali"
  local byte=0 riferimento=(true)
  if [ "$elenca" != nessuna_uscita ]; then
    mapfile -t uscite < <($elenca)
    for f in "${uscite[@]}"; do cp "$f" "$originali/"; done
    byte=$(stat -c %s "$originali"/* | awk '{s += $1} END {print s}')
    riferimento=(cp "$originali"/* "$copia/")
  fi

  local tp=() mp=() cp_=() tc=() r
  for ((r = 0; r < ripetizioni; r++)); do
    $prepara
    una_volta "$@"
    [ "$stato" = 0 ] || { echo "$nome: stato $stato" >&2; exit 1; }
    tp+=("$t") mp+=("$kb") cp_+=("$cpu")
    rm -rf "$copia" && mkdir "$copia"
    una_volta "${riferimento[@]}"
    tc+=("$t")
  done
  local p_med p_min c_med c_min picco processore
  p_med=$(printf '%s\n' "${tp[@]}" | mediana)
  p_min=$(printf '%s\n' "${tp[@]}" | minimo)
  c_med=$(printf '%s\n' "${tc[@]}" | mediana)
  c_min=$(printf '%s\n' "${tc[@]}" | minimo)
  picco=$(printf '%s\n' "${mp[@]}" | massimo)
  processore=$(printf '%s\n' "${cp_[@]}" | mediana)
  awk -v n="$nome" -v b="$byte" -v pm="$p_med" -v pn="$p_min" -v cm="$c_med" -v cn="$c_min" \
    -v k="$picco" -v u="$processore" 'BEGIN {
      printf "%-34s %10d %7.1f %7.1f %7.1f %7.1f %7.1f %6.2f %6.2f %7.1f\n",
        n, b, pm * 1000, pn * 1000, u * 1000, cm * 1000, cn * 1000, pm / cm, pn / cn, k / 1024
    }'
  ultimo_tempo=$p_med
  ultimo_scarto=$(awk -v a="$p_med" -v b="$c_med" 'BEGIN {print a - b}')
}

intestazione() {
  printf '%-34s %10s %7s %7s %7s %7s %7s %6s %6s %7s\n' "misura" "byte" "med" "min" "cpu" \
    "$1 med" "$1 min" "r.med" "r.min" "picco MB"
}

echo
echo "== Processi interi: $ripetizioni esecuzioni ciascuno, alternate con cp"
echo "   (tempi in ms; med = mediana, min = minimo; cpu = utente + sistema, mediana;"
echo "    rapporto = tempo del programma / tempo di cp; picco = memoria residente massima)"
intestazione cp

# The main program writes beside itself: a copy of it in a folder of its own.
programma="$lavoro/programma"
mkdir "$programma"
cp "$build/genera_scenario" "$programma/"
pulisci_programma() { find "$programma" -mindepth 1 ! -name genera_scenario -delete; }
elenca_programma() { find "$programma" -mindepth 1 -type f ! -name genera_scenario | sort; }
confronta "genera_scenario" pulisci_programma elenca_programma -- "$programma/genera_scenario" ||
  echo "   (il dato portato non c'e' ancora?)"

declare -A per_km oltre_cp
for km in 100 500 1000; do
  cartella="$lavoro/km$km"
  mkdir "$cartella"
  "$build/genera_sorgenti" "$cartella" Lunga 1 "$km"
  compilati=("$cartella"/Lunga_linea.dat "$cartella"/Lunga_1.sim "$cartella"/Lunga_1.dat)
  pulisci_compilati() { rm -f "${compilati[@]}"; }
  elenca_compilati() { printf '%s\n' "${compilati[@]}"; }
  confronta "compila_scenario $km km" pulisci_compilati elenca_compilati -- \
    "$build/compila_scenario" "$cartella" Lunga 1
  per_km[$km]=$ultimo_tempo
  oltre_cp[$km]=$ultimo_scarto
done

# Reading the longest line back as an author checks it: esamina_scenario on
# the files just compiled, in turns with true (its report goes through a pipe).
confronta "esamina_scenario 1000 km" niente nessuna_uscita -- \
  "$build/esamina_scenario" "$lavoro/km1000" Lunga 1
awk -v e="$ultimo_tempo" -v c="${per_km[1000]}" 'BEGIN {
  printf "esamina_scenario / compila_scenario a 1000 km: %.2f\n", e / c
}'

# The sources back from the same files, as an author who wants a variant of
# the line gets them: decompila_scenario, which also compiles them again to
# check them, in turns with cp of the two sources it writes.
ricavati="$lavoro/ricavati1000"
mkdir "$ricavati"
pulisci_ricavati() { rm -f "$ricavati"/*; }
elenca_ricavati() { printf '%s\n' "$ricavati"/Lunga_linea.txt "$ricavati"/Lunga_1-.txt; }
confronta "decompila_scenario 1000 km" pulisci_ricavati elenca_ricavati -- \
  "$build/decompila_scenario" --in "$ricavati" "$lavoro/km1000" Lunga 1
awk -v d="$ultimo_tempo" -v c="${per_km[1000]}" 'BEGIN {
  printf "decompila_scenario / compila_scenario a 1000 km: %.2f\n", d / c
}'

# The same two in turns, one run of each after the other, so that whatever
# else loads the machine weighs on both alike: compila_scenario compiling
# the 1 000 km sources again, decompila_scenario taking them back (its check
# compilation included).
tc=() td=() uc=() ud=()
for ((r = 0; r < ripetizioni; r++)); do
  una_volta "$build/compila_scenario" "$lavoro/km1000" Lunga 1
  [ "$stato" = 0 ] || { echo "compila_scenario: stato $stato" >&2; exit 1; }
  tc+=("$t") uc+=("$cpu")
  pulisci_ricavati
  una_volta "$build/decompila_scenario" --in "$ricavati" "$lavoro/km1000" Lunga 1
  [ "$stato" = 0 ] || { echo "decompila_scenario: stato $stato" >&2; exit 1; }
  td+=("$t") ud+=("$cpu")
done
awk -v c="$(printf '%s\n' "${tc[@]}" | mediana)" -v d="$(printf '%s\n' "${td[@]}" | mediana)" \
  -v uc="$(printf '%s\n' "${uc[@]}" | mediana)" -v ud="$(printf '%s\n' "${ud[@]}" | mediana)" 'BEGIN {
  printf "a turno, 1000 km: compila_scenario %.1f ms (cpu %.1f), decompila_scenario %.1f ms " \
    "(cpu %.1f): %.2f (cpu %.2f)\n", c * 1000, uc * 1000, d * 1000, ud * 1000, d / c, ud / uc
}'

echo
echo "== Costo fisso: $ripetizioni esecuzioni ciascuno, alternate con true o con cp"
echo "   (--help: avvio e uscita del processo; 2 km: in piu' la cartella privata,"
echo "    i collegamenti, gli spostamenti, con quasi nessun calcolo)"
intestazione "rif."
confronta "compila_scenario --help" niente nessuna_uscita -- \
  "$build/compila_scenario" --help
scarto_aiuto=$ultimo_scarto
cartella="$lavoro/km2"
mkdir "$cartella"
"$build/genera_sorgenti" "$cartella" Lunga 1 2
compilati=("$cartella"/Lunga_linea.dat "$cartella"/Lunga_1.sim "$cartella"/Lunga_1.dat)
pulisci_compilati() { rm -f "${compilati[@]}"; }
elenca_compilati() { printf '%s\n' "${compilati[@]}"; }
confronta "compila_scenario 2 km" pulisci_compilati elenca_compilati -- \
  "$build/compila_scenario" "$cartella" Lunga 1
scarto_2km=$ultimo_scarto
senza_linea=("$cartella"/Lunga_1.sim "$cartella"/Lunga_1.dat)
elenca_senza_linea() { printf '%s\n' "${senza_linea[@]}"; }
confronta "compila_scenario 2 km --senza-linea" pulisci_compilati elenca_senza_linea -- \
  "$build/compila_scenario" --senza-linea "$cartella" Lunga 1
awk -v h="$scarto_aiuto" -v f="$scarto_2km" -v t="${oltre_cp[1000]}" 'BEGIN {
  printf "in piu\047 di cp a 1000 km: %.1f ms; di cui fissi (2 km in piu\047 di cp) %.1f ms,", t * 1000, f * 1000
  printf " avvio e uscita (--help in piu\047 di true) %.1f ms;", h * 1000
  printf " con la lunghezza %.1f ms\n", (t - f) * 1000
}'

echo
echo "== Crescita con la lunghezza (compila_scenario, mediane)"
awk -v a="${per_km[100]}" -v b="${per_km[500]}" -v c="${per_km[1000]}" 'BEGIN {
  printf "ms per km: %.3f (100 km)  %.3f (500 km)  %.3f (1000 km)\n", a * 10, b * 2, c
  printf "ms per km in piu: %.3f (da 100 a 500 km)  %.3f (da 500 a 1000 km)\n",
    (b - a) * 1000 / 400, (c - b) * 1000 / 500
}'
