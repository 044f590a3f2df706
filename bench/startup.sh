#!/usr/bin/env bash
# Times the real program from process start to its main window shown (the catalogue loaded and
# the tree filled before the window appears), in a private X server, and reads its resident
# memory once the window is up, and times iconv on the same files. Usage:
# bench/startup.sh VELBOR_BINARY DATA_DIR PER_ARTIST [runs]
# DATA_DIR holds velbor-PER_ARTIST-100000.dat and velbor-PER_ARTIST-1000000.dat. Prints the
# figures, and "RESULT step | figure | ratio to iconv | budget" lines for bench/run.sh.
set -euo pipefail
bin=$1
data=$2
per=$3
runs=${4:-3}
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

declare -A ms mb iconv
for n in 100000 1000000; do
    file="$data/velbor-$per-$n.dat"
    dir="$work/$n"
    mkdir -p "$dir"
    cp "$bin" "$dir/velbor"
    ln -s "$(realpath "$file")" "$dir/Velbor.dat"
    results=() conversions=()
    for _ in $(seq "$runs"); do
        results+=("$(measure "$dir")")
        start=$(now_ms)
        iconv -f WINDOWS-1250 -t UTF-8 "$file" >/dev/null
        conversions+=("$(($(now_ms) - start))")
    done
    ms[$n]=$(printf '%s\n' "${results[@]}" | cut -d' ' -f1 | median)
    mb[$n]=$(printf '%s\n' "${results[@]}" | cut -d' ' -f2 | median)
    iconv[$n]=$(printf '%s\n' "${conversions[@]}" | median)
    echo "$n albums: start-up ${ms[$n]} ms, ${mb[$n]} MB, iconv ${iconv[$n]} ms (medians of $runs)"
done
verdict() { awk -v a="$1" -v b="$2" 'BEGIN { print (a <= b ? "met" : "NOT met") }'; }
ratio=$(awk -v a="${ms[1000000]}" -v b="${iconv[1000000]}" 'BEGIN { printf "%.1f", a / (b > 0 ? b : 1) }')
echo "RESULT start-up to the window shown | ${ms[1000000]} ms | $ratio | ≤ 12: $(verdict "$ratio" 12)"
echo "RESULT start-up, 100,000 albums | ${ms[100000]} ms | | ≤ 300 ms: $(verdict "${ms[100000]}" 300)"
echo "RESULT resident memory after start-up | ${mb[1000000]} MB | | ≤ 400 MB: $(verdict "${mb[1000000]}" 400)"
