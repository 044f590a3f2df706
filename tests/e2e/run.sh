#!/usr/bin/env bash
# The user stories, each played on the real program in one Xvfb and driven with xdotool as a
# person would, the files it writes compared byte for byte. Usage: run.sh [story...]; VELBOR_BIN
# names the program, E2E_WAIT_SCALE stretches every wait (scripts/valgrind-e2e.sh sets both).
# To add a story, write story_NAME.sh: a script body sourced in a subshell with `set -e` in a fresh
# folder $E2E_DIR, using the helpers below. Sourced (tests/app, scripts/screenshots.sh), this file
# only defines the helpers.
set -euo pipefail
: "${VELBOR_BIN:?VELBOR_BIN must name the velbor binary}"
export LANG=C.UTF-8 LC_ALL=C.UTF-8
# Qt and the X libraries keep a few allocations until exit; leaks are the unit tests' business.
export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1"
unset QT_QPA_PLATFORM
E2E_WAIT_SCALE=${E2E_WAIT_SCALE:-1}
E2E_ROOT=$(mktemp -d /tmp/velbor-e2e.XXXXXX)
E2E_DIR=$E2E_ROOT
XVFB_PID="" APP_PID="" LAST_BOX=""

stop_app() { [ -z "$APP_PID" ] || { kill "$APP_PID" 2>/dev/null && wait "$APP_PID"; } || true; }
# Waits for the X server to be gone: on its way out it removes its socket by name.
trap 'stop_app; { [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null && wait "$XVFB_PID"; } 2>/dev/null || true
    rm -rf "$E2E_ROOT"' EXIT

# Ends the story with a message and the titles of the windows on the screen.
fail() {
    echo "FAIL: $*" >&2
    local id
    for id in $([ -z "${DISPLAY:-}" ] || xdotool search --onlyvisible --name . 2>/dev/null || true); do
        echo "  shown: '$(window_title "$id")'" >&2; done
    exit 1
}

nap() { sleep "$(awk -v s="$1" -v k="$E2E_WAIT_SCALE" 'BEGIN { print s * k }')"; }
# Runs command $2... every 0.1 s until it succeeds, at most $1 times (E2E_WAIT_SCALE times more).
poll() { local i; for ((i = $1 * E2E_WAIT_SCALE; i > 0; i--)); do "${@:2}" && return 0 || sleep 0.1; done; return 1; }

# Starts Xvfb on a free display (-noreset: not started over when its last client leaves).
start_display() {
    exec 9<> <(:)
    Xvfb -displayfd 9 -screen 0 1024x768x24 -nolisten tcp -noreset >"$E2E_ROOT/xvfb.log" 2>&1 &
    XVFB_PID=$!
    local n=""; poll 100 read -r -t 0.1 n <&9 || fail "Xvfb did not start"
    export DISPLAY=":$n"
    poll 100 xdotool getdisplaygeometry >/dev/null 2>&1 || fail "no client can connect to $DISPLAY"
}

# A folder holding a copy of the program (it reads Velbor.dat from its own folder) and catalogue $1.
make_app_dir() {
    local dir; dir=$(mktemp -d "$E2E_DIR/${STORY:-app}.XXXX")
    cp "$VELBOR_BIN" "$dir/velbor"; [ $# -eq 0 ] || cp "$1" "$dir/Velbor.dat"; echo "$dir"
}

# Starts command $2... (./velbor when not given) in folder $1 in the background; sets APP_PID. A
# new program may reuse the window ids of one that ended, so no box of it has been answered yet.
start_app() {
    [ $# -gt 1 ] || set -- "$1" ./velbor
    (cd "$1" && exec "${@:2}" >"$E2E_DIR/app.log" 2>&1) &
    APP_PID=$! LAST_BOX=""
}

# Window $1's _NET_WM_NAME (UTF-8), which Qt may make longer than the WM_NAME xdotool searches.
window_title() { { xprop -id "$1" _NET_WM_NAME 2>/dev/null || true; } | sed -n 's/^_NET_WM_NAME(UTF8_STRING) = "\(.*\)"$/\1/p'; }

# no_window: no visible window is titled exactly $1.
windows() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null || true; }
no_window() { [ -z "$(windows "$1")" ]; }

# Waits for the newest visible window titled exactly $1 other than window $2; prints its id.
wait_window() {
    local id="" shown
    newest() { id=$(windows "$1" | { grep -vx "${2:-}" || true; } | tail -n 1) && [ -n "$id" ]; }
    poll 150 newest "$@" || fail "no new window titled '$1'"
    shown=$(window_title "$id")
    [ "$shown" = "$1" ] || fail "a window is shown titled '$shown', not '$1'"
    echo "$id"
}
wait_window_gone() { poll 100 no_window "$1" || fail "window '$1' did not close"; }
main_window() { wait_window "MP3 Velbor"; }

# Fails with $1 if a window titled $2 (a box: Velbor) is shown half a second later.
no_box() { nap 0.5; no_window "${2:-Velbor}" || fail "$1"; }

# Focuses window $1 and presses the xdotool keys that follow, or types UTF-8 text $2.
focus() { xdotool windowfocus --sync "$1"; nap 0.15; }
keys() { focus "$1"; xdotool key --delay $((80 * E2E_WAIT_SCALE)) "${@:2}"; nap 0.3; }
type_text() { focus "$1"; xdotool type --delay $((40 * E2E_WAIT_SCALE)) "$2"; nap 0.2; }

# Answers the box titled $1 with the keys that follow. A box answered before is never taken for
# the next one: boxes of one title follow each other (a question, then "Hotovo.").
answer() { LAST_BOX=$(wait_window "$1" "$LAST_BOX"); keys "$LAST_BOX" "${@:2}"; }

# Presses keys $2... in the main window $win and types $1 over what the input box they open holds.
ask() {
    keys "$win" "${@:2}"
    local box; box=$(wait_window Velbor)
    keys "$box" ctrl+a; type_text "$box" "$1"; keys "$box" Return
    wait_window_gone Velbor
}

# F12 in the main window $win, "Ano" (the default) to "Chcete uložit soubor ...?", Enter to
# "Hotovo."; chord_save shows the Editing menu (Ctrl+Shift+F11) first.
save() { keys "$win" F12; answer Velbor Return; answer Velbor Return; wait_window_gone Velbor; }
chord_save() { keys "$win" ctrl+shift+F11; save; }

# Waits for the program to end (at most 10 s). quit: Esc in the main window.
wait_exit() {
    poll 100 eval '! kill -0 "$APP_PID" 2>/dev/null' || fail "the program did not end"
    wait "$APP_PID" || true; APP_PID=""
}
quit() { keys "$win" Escape; wait_exit; }

# A Windows-1250 file with CR LF line ends, from UTF-8 lines on standard input.
write_cp1250() { sed 's/$/\r/' | iconv -f UTF-8 -t WINDOWS-1250 >"$1"; }

# Fails unless file $1 holds the bytes of file $2, showing the first that differ.
same_bytes() {
    cmp -s "$1" "$2" && return 0
    { cmp "$1" "$2" || true; cmp -l "$1" "$2" 2>/dev/null | head -n 8 || true
      echo "--- expected"; od -c "$2" | head -n 30; echo "--- got"; od -c "$1" | head -n 30; } >&2
    fail "$1 differs from $2"
}
expect_cp1250() { write_cp1250 "$E2E_DIR/expected"; same_bytes "$1" "$E2E_DIR/expected"; }

# Standard input's album lines, then the owner "Sbírka" <jan@example.cz>: written into file $1
# (albums) or expected in it (expect_albums).
with_owner() { cat && printf '"#DataOwner","Sbírka",#FALSE#\n"#ContactEmail","jan@example.cz",#FALSE#\n'; }
albums() { with_owner | write_cp1250 "$1"; }
expect_albums() { with_owner | expect_cp1250 "$1"; }

# Starts the program in a new folder with catalogue $1 (without: the albums on standard input)
# and waits for its window; sets dir and win.
launch() {
    [ $# -gt 0 ] || { albums "$E2E_DIR/original.dat" && set -- "$E2E_DIR/original.dat"; }
    dir=$(make_app_dir "$1"); start_app "$dir"; win=$(main_window)
}

[ "${BASH_SOURCE[0]}" = "$0" ] || return 0

here=$(cd "$(dirname "$0")" && pwd)
[ $# -gt 0 ] || for f in "$here"/story_*.sh; do f=${f##*/story_} && set -- "$@" "${f%.sh}"; done
start_display
failed=0
for STORY; do
    E2E_DIR=$E2E_ROOT/$STORY && mkdir -p "$E2E_DIR"
    # Not in an if: there set -e would be off in the story too.
    set +e
    (
        set -e
        trap stop_app EXIT
        trap 'echo "failed: $BASH_COMMAND (line $LINENO)" >&2' ERR
        source "$here/story_$STORY.sh"
    ) >"$E2E_DIR/story.log" 2>&1
    rc=$?; set -e
    [ $rc -eq 0 ] && echo "PASS $STORY" && continue
    echo "FAIL $STORY"
    sed 's/^/    /' "$E2E_DIR/story.log"
    [ ! -s "$E2E_DIR/app.log" ] || { echo "    --- the program's output:"; tail -n 20 "$E2E_DIR/app.log" | sed 's/^/    /'; }
    failed=$((failed + 1))
done
echo "$(($# - failed)) passed, $failed failed"
[ "$failed" -eq 0 ]
