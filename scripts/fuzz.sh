#!/usr/bin/env bash
# Builds the libFuzzer targets (fuzz preset: clang, AddressSanitizer, UndefinedBehaviorSanitizer)
# and runs each of them for the given number of seconds (default 60).
# Usage: scripts/fuzz.sh [seconds] [target...]   e.g. scripts/fuzz.sh 3600 fuzz_datafile
#
# Each target starts from its seed corpus fuzz/corpus/<name less "fuzz_">/ and keeps what it
# finds in build/fuzz/corpus/<name>/, so later runs go on from there. A crash, leak, timeout or
# failed check stops the run; the input that caused it is saved in build/fuzz/artifacts/ and can
# be replayed with `build/fuzz/fuzz/<target> <file>`.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true

scripts/deps.sh fuzz
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

build=build/fuzz
if [ $# -gt 0 ]; then
    targets=("$@")
else
    mapfile -t targets < <(find "$build/fuzz" -maxdepth 1 -type f -name 'fuzz_*' -perm -u+x -printf '%f\n' | sort)
fi
[ ${#targets[@]} -gt 0 ] || { echo "fuzz.sh: no fuzz targets built" >&2; exit 1; }

mkdir -p "$build/artifacts"
passed=0
failed=0
for target in "${targets[@]}"; do
    name=${target#fuzz_}
    corpus="$build/corpus/$name"
    mkdir -p "$corpus"
    args=(-max_total_time="$seconds" -timeout=10 -print_final_stats=1
          -artifact_prefix="$build/artifacts/$target-")
    [ -f "fuzz/$name.dict" ] && args+=(-dict="fuzz/$name.dict")
    log="$build/$target.log"
    echo "== $target: ${seconds} s"
    start=$(date +%s)
    if "$build/fuzz/$target" "${args[@]}" "$corpus" "fuzz/corpus/$name" >"$log" 2>&1; then
        passed=$((passed + 1))
        runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
        echo "$target: ${runs:-?} inputs in $(($(date +%s) - start)) s, no failure" \
             "(corpus: $(find "$corpus" -type f | wc -l) files)"
    else
        failed=$((failed + 1))
        echo "$target: FAILED after $(($(date +%s) - start)) s; end of $log:" >&2
        tail -n 40 "$log" >&2
    fi
done
echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
