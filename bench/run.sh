#!/usr/bin/env bash
# Runs every benchmark on three shapes of catalogue (50, 5 and 1 albums an artist; kept in
# build/bench/data): builds the Release benchmarks, times each heavy step of 1,000,000 albums
# against iconv on the same file in the same run, then times the real program's start-up in
# Xvfb. Ends with the table that README.md keeps. Usage: bench/run.sh [SHAPES], e.g. "50 1".
set -euo pipefail
cd "$(dirname "$0")/.."
shapes=${1:-"50 5 1"}
scripts/deps.sh bench
cmake --preset bench >/dev/null
cmake --build --preset bench
data=build/bench/data
mkdir -p "$data"
for per in $shapes; do
    for n in 100000 1000000; do
        f="$data/velbor-$per-$n.dat"
        [ -f "$f" ] || build/bench/bench/velbor-generate "$n" "$per" "$f"
    done
done
machine="$(nproc) cores, $(awk '/MemTotal/ { printf "%.0f GiB", $2 / 1048576 }' /proc/meminfo), $(lscpu | sed -n 's/^Model name: *//p' | head -1)"
echo "machine: $machine; load before: $(cut -d' ' -f1-3 /proc/loadavg)"

results=$(mktemp)
step=$(mktemp)
trap 'rm -f "$results" "$step"' EXIT
for per in $shapes; do
    echo "== $per albums an artist ($(du -h "$data/velbor-$per-1000000.dat" | cut -f1))"
    VELBOR_BENCH_FILE="$data/velbor-$per-1000000.dat" build/bench/bench/velbor-bench \
        --benchmark_min_time=1 --benchmark_color=false | tee "$step"
    sed -n "s/^RESULT /$per|/p" "$step" >>"$results"
    bench/startup.sh build/bench/src/app/velbor "$data" "$per" 3 | tee "$step"
    sed -n "s/^RESULT /$per|/p" "$step" >>"$results"
done

# One row a step, one column a shape: "time (ratio to iconv)", then the budget's verdicts.
echo
echo "$(date +%F), $machine; load after: $(cut -d' ' -f1-3 /proc/loadavg)"
printf '\n| 1,000,000 albums |'
for per in $shapes; do printf ' %s an artist |' "$per"; done
printf ' budget |\n|---|'
for per in $shapes; do printf -- '---:|'; done
printf -- '---|\n'
awk -F'|' -v shapes="$shapes" '
    { for (i = 2; i <= 5; ++i) gsub(/^ +| +$/, "", $i)
      if (!($2 in seen)) { seen[$2] = 1; order[++n] = $2 }
      cell[$1, $2] = $3 ($4 == "" ? "" : " (" $4 " × iconv)")
      if ($5 != "" && $5 != "—") verdict[$2] = verdict[$2] (verdict[$2] == "" ? "" : "; ") $1 ": " $5 }
    END { k = split(shapes, s, " ")
          for (i = 1; i <= n; ++i) { printf "| %s |", order[i]
              for (j = 1; j <= k; ++j) printf " %s |", cell[s[j], order[i]]
              printf " %s |\n", verdict[order[i]] } }' "$results"

# The scan of a music folder: 20,000 tagged files in 2,000 album folders (kept in $data/music).
echo
build/bench/bench/velbor-bench-import "$data/music"
