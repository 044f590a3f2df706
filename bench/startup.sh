#!/usr/bin/env bash
# Times the real program from process start to its main window shown (the catalogue loaded and
# the tree filled before the window appears), in a private X server, and reads its resident
# memory once the window is up. Usage: bench/startup.sh VELBOR_BINARY DATA_DIR [runs]
# DATA_DIR holds velbor-100000.dat and velbor-1000000.dat.
set -euo pipefail
bin=$1
data=$2
runs=${3:-3}
export LANG=C.UTF-8 LC_ALL=C.UTF-8
unset QT_QPA_PLATFORM

work=$(mktemp -d /tmp/velbor-startup.XXXXXX)
xvfb_pid=""
cleanup() {
    # Wait for the X server to be gone, so that the next one cannot lose its socket to it.
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

exec 9<> <(:)
# -noreset: without it the server starts over whenever its last client leaves, and a
# program connecting just then fails to start.
Xvfb -displayfd 9 -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb_pid=$!
read -r -t 10 n <&9
export DISPLAY=":$n"
for _ in $(seq 100); do # ready means a client can connect
    xdotool getdisplaygeometry >/dev/null 2>&1 && break
    sleep 0.05
done

now_ms() { echo $(($(date +%s%N) / 1000000)); }

# One start: prints "milliseconds resident-MB".
measure() {
    local dir=$1 pid start shown rss
    start=$(now_ms)
    (cd "$dir" && exec ./velbor >"$work/velbor.log" 2>&1) &
    pid=$!
    until xdotool search --onlyvisible --name '^MP3 Velbor$' >/dev/null 2>&1; do
        sleep 0.01
        if ! kill -0 "$pid" 2>/dev/null; then
            echo "the program ended before its window was shown:" >&2
            cat "$work/velbor.log" >&2
            exit 1
        fi
    done
    shown=$(now_ms)
    sleep 1 # let the first paint and anything after it settle
    rss=$(awk '/^VmRSS:/ { print int($2 / 1024) }' "/proc/$pid/status")
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    echo "$((shown - start)) $rss"
}

median() { sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }

printf '\n| real program, %s runs (median) | 100,000 albums | 1,000,000 albums | budget |\n' "$runs"
printf '|---|---:|---:|---|\n'
declare -A ms mb
for n in 100000 1000000; do
    dir="$work/$n"
    mkdir -p "$dir"
    cp "$bin" "$dir/velbor"
    ln -s "$(realpath "$data/velbor-$n.dat")" "$dir/Velbor.dat"
    results=()
    for _ in $(seq "$runs"); do
        results+=("$(measure "$dir")")
    done
    ms[$n]=$(printf '%s\n' "${results[@]}" | cut -d' ' -f1 | median)
    mb[$n]=$(printf '%s\n' "${results[@]}" | cut -d' ' -f2 | median)
done
verdict() { [ "$1" -le "$2" ] && echo met || echo "NOT MET"; }
printf '| start-up to the window shown | %s ms | %s ms | ≤ 300 ms (100,000): %s; ≤ 2000 ms (1,000,000): %s |\n' \
    "${ms[100000]}" "${ms[1000000]}" "$(verdict "${ms[100000]}" 300)" "$(verdict "${ms[1000000]}" 2000)"
printf '| resident memory after start-up | %s MB | %s MB | ≤ 400 MB (1,000,000): %s |\n' \
    "${mb[100000]}" "${mb[1000000]}" "$(verdict "${mb[1000000]}" 400)"
