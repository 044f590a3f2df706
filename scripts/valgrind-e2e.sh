#!/usr/bin/env bash
# Runs the end-to-end stories (tests/e2e/run.sh) against a plain Debug build of the program
# (valgrind preset: no sanitizers) running under valgrind's memcheck, and fails when memcheck
# reports an error: an invalid read or write, a jump on an uninitialised value, a bad free or a
# definite leak. Errors that lie wholly inside system libraries are suppressed by
# scripts/valgrind.supp; an error with a frame of our own code in its stack is never suppressed.
# Usage: scripts/valgrind-e2e.sh [story...]   e.g. scripts/valgrind-e2e.sh editing
# Slow (a few minutes): not part of scripts/test.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

scripts/deps.sh test valgrind
cmake --preset valgrind >/dev/null
cmake --build --preset valgrind

# memcheck's logs stay in build/valgrind/logs/ (one per program run), the tests' output beside.
work=$root/build/valgrind/e2e
rm -rf "$work"
mkdir -p "$work/logs"

# run.sh copies VELBOR_BIN into each story's program folder and starts it there. The copy is this
# wrapper: it puts the real program beside itself, so the program finds Velbor.dat in its own
# folder, and runs it under memcheck.
cat >"$work/velbor" <<WRAPPER
#!/usr/bin/env bash
here=\$(cd "\$(dirname "\$0")" && pwd)
cp -f "$root/build/valgrind/src/app/velbor" "\$here/velbor.bin"
# Qt's regular expressions (the file dialog's name filters) are compiled to machine code at run
# time, which memcheck cannot follow: it takes that code's jumps for ones on uninitialised values.
# Without the compiler they are interpreted, which memcheck checks like any code.
QT_ENABLE_REGEXP_JIT=0 exec valgrind --tool=memcheck --error-exitcode=99 --track-origins=yes --num-callers=40 \\
    --child-silent-after-fork=yes \\
    --leak-check=full --show-leak-kinds=definite --errors-for-leak-kinds=definite \\
    --suppressions="$root/scripts/valgrind.supp" --gen-suppressions=all \\
    --log-file="$work/logs/\$(basename "\$here").%p.log" "\$here/velbor.bin" "\$@"
WRAPPER
chmod +x "$work/velbor"

start=$(date +%s)
failed=0
# Under memcheck the program starts and answers many times slower.
VELBOR_BIN="$work/velbor" E2E_WAIT_SCALE=10 bash tests/e2e/run.sh "$@" | tee "$work/run.out" || failed=1

runs=0
dirty=0
for log in "$work"/logs/*.log; do
    [ -e "$log" ] || continue
    runs=$((runs + 1))
    summary=$(grep -o 'ERROR SUMMARY: [0-9]* errors' "$log" | tail -n 1)
    if [ "$summary" != "ERROR SUMMARY: 0 errors" ]; then
        dirty=$((dirty + 1))
        echo "--- $(basename "$log"): ${summary:-no summary (the program did not end)}" >&2
        cat "$log" >&2
    fi
done
echo "memcheck: $runs program runs, $dirty with errors, $(($(date +%s) - start)) s"
[ "$runs" -gt 0 ] && [ "$dirty" -eq 0 ] || failed=$((failed + 1))
[ "$failed" -eq 0 ] && echo "valgrind-e2e: passed" || { echo "valgrind-e2e: FAILED" >&2; exit 1; }
