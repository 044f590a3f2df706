# Helpers for the end-to-end tests: the real program in a real X server (Xvfb), driven with
# xdotool as a person would drive it. Source this file; VELBOR_BIN names the program to test.
set -euo pipefail

: "${VELBOR_BIN:?VELBOR_BIN must name the velbor binary}"
export LANG=C.UTF-8 LC_ALL=C.UTF-8
# Qt and the X libraries keep a few allocations until exit; leaks are the unit tests' business.
export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1"
unset QT_QPA_PLATFORM

# Every wait for the program is this many times longer (scripts/valgrind-e2e.sh: it runs slowly).
E2E_WAIT_SCALE=${E2E_WAIT_SCALE:-1}
E2E_DIR=$(mktemp -d /tmp/velbor-e2e.XXXXXX)
XVFB_PID=""
APP_PID=""

e2e_cleanup() {
    [ -n "$APP_PID" ] && kill "$APP_PID" 2>/dev/null || true
    # Wait for the X server to be gone: on its way out it removes its socket by name, which
    # would be the socket of the next test's server if that one already took the same number.
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null && wait "$XVFB_PID" 2>/dev/null || true
    rm -rf "$E2E_DIR"
}
trap e2e_cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# Starts Xvfb on a free display and exports DISPLAY.
start_display() {
    exec 9<> <(:)
    # -noreset: without it the server starts over whenever its last client leaves, and a
    # program connecting just then fails to start.
    Xvfb -displayfd 9 -screen 0 1024x768x24 -nolisten tcp -noreset >"$E2E_DIR/xvfb.log" 2>&1 &
    XVFB_PID=$!
    local n=""
    for _ in $(seq 100); do
        read -r -t 0.1 n <&9 && break || true
    done
    [ -n "$n" ] || fail "Xvfb did not start"
    export DISPLAY=":$n"
    # Ready means a client can connect.
    for _ in $(seq 100); do
        xdotool getdisplaygeometry >/dev/null 2>&1 && return 0
        sleep 0.05
    done
    fail "no client can connect to the X server on $DISPLAY"
}

# A folder holding a copy of the program (it reads Velbor.dat from its own folder).
# Usage: app_dir=$(make_app_dir [Velbor.dat to put beside it])
make_app_dir() {
    local dir="$E2E_DIR/app$RANDOM"
    mkdir -p "$dir"
    cp "$VELBOR_BIN" "$dir/velbor"
    [ $# -gt 0 ] && cp "$1" "$dir/Velbor.dat"
    echo "$dir"
}

# Starts the program in folder $1 in the background; sets APP_PID.
start_app() {
    (cd "$1" && exec ./velbor >"$E2E_DIR/app.log" 2>&1) &
    APP_PID=$!
}

# The title of window $1 as window managers show it: its _NET_WM_NAME (UTF-8), which Qt may make
# longer than the WM_NAME that xdotool searches.
window_title() {
    { xprop -id "$1" _NET_WM_NAME 2>/dev/null || true; } |
        sed -n 's/^_NET_WM_NAME(UTF8_STRING) = "\(.*\)"$/\1/p'
}

# Fails unless window $1 is shown titled exactly $2.
check_title() {
    local shown
    shown=$(window_title "$1")
    [ "$shown" = "$2" ] || fail "a window is shown titled '$shown', not '$2'"
}

# Waits for a visible window whose title is exactly $1; prints its id.
wait_window() {
    local title=$1 id=""
    for _ in $(seq $((150 * E2E_WAIT_SCALE))); do
        id=$(xdotool search --onlyvisible --name "^${title}\$" 2>/dev/null | tail -n 1 || true)
        [ -n "$id" ] && break
        sleep 0.1
    done
    [ -n "$id" ] || fail "no window titled '$title'"
    check_title "$id" "$title"
    echo "$id"
}

# Waits until no visible window is titled $1.
wait_window_gone() {
    for _ in $(seq $((100 * E2E_WAIT_SCALE))); do
        xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1 || return 0
        sleep 0.1
    done
    fail "window '$1' did not close"
}

# Sleeps $1 seconds, E2E_WAIT_SCALE times longer.
nap() { sleep "$(awk -v s="$1" -v k="$E2E_WAIT_SCALE" 'BEGIN { print s * k }')"; }

# Focuses window $1 and presses the keys that follow (xdotool key names).
keys() {
    local win=$1
    shift
    xdotool windowfocus --sync "$win"
    nap 0.15
    xdotool key --delay $((80 * E2E_WAIT_SCALE)) "$@"
    nap 0.3
}

# Focuses window $1 and types text $2 (UTF-8, Czech letters too).
type_text() {
    xdotool windowfocus --sync "$1"
    nap 0.15
    xdotool type --delay $((40 * E2E_WAIT_SCALE)) "$2"
    nap 0.2
}

# The main window, once the program is up.
main_window() { wait_window "MP3 Velbor"; }

# Answers the box titled $1 with the keys that follow. A box answered before is never taken for
# the next one: boxes of one title follow each other (a question, then "Hotovo.").
LAST_BOX=""
answer() {
    local title=$1
    shift
    local win="" id
    for _ in $(seq $((150 * E2E_WAIT_SCALE))); do
        for id in $(xdotool search --onlyvisible --name "^${title}\$" 2>/dev/null || true); do
            [ "$id" != "$LAST_BOX" ] && win=$id
        done
        [ -n "$win" ] && break
        sleep 0.1
    done
    [ -n "$win" ] || fail "no new box titled '$title'"
    check_title "$win" "$title"
    keys "$win" "$@"
    LAST_BOX=$win
}

# Waits for the program to end; fails if it does not within 10 s.
wait_exit() {
    for _ in $(seq $((100 * E2E_WAIT_SCALE))); do
        kill -0 "$APP_PID" 2>/dev/null || {
            wait "$APP_PID" || true
            APP_PID=""
            return 0
        }
        sleep 0.1
    done
    fail "the program did not end"
}

# A Windows-1250 file with CR LF line ends, from UTF-8 lines on standard input.
write_cp1250() { sed 's/$/\r/' | iconv -f UTF-8 -t WINDOWS-1250 >"$1"; }

same_bytes() {
    cmp -s "$1" "$2" || {
        echo "--- expected"; od -c "$2" | head -40
        echo "--- got"; od -c "$1" | head -40
        fail "$1 differs from $2"
    }
}
