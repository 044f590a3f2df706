#!/usr/bin/env bash
# Runs every benchmark: builds the Release benchmarks, generates catalogues of 100,000 and
# 1,000,000 albums (kept in build/bench/data), times each heavy step against its budget, then
# times the real program's start-up in Xvfb. Prints the tables that README.md keeps.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh bench
cmake --preset bench >/dev/null
cmake --build --preset bench
data=build/bench/data
mkdir -p "$data"
for n in 100000 1000000; do
    [ -f "$data/velbor-$n.dat" ] || build/bench/bench/velbor-generate "$n" "$data/velbor-$n.dat"
done
echo "machine: $(nproc) cores, $(awk '/MemTotal/ { printf "%.0f GiB", $2 / 1048576 }' /proc/meminfo), $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')"
echo "catalogues: $(du -h "$data/velbor-100000.dat" | cut -f1) and $(du -h "$data/velbor-1000000.dat" | cut -f1) of Windows-1250"
VELBOR_BENCH_DATA=$data build/bench/bench/velbor-bench --benchmark_min_time=2
bench/startup.sh build/bench/src/app/velbor "$data" 3

# The scan of a music folder: 20,000 tagged files in 2,000 album folders (kept in $data/music).
build/bench/bench/velbor-bench-import "$data/music"
