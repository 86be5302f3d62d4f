# Shared by the tests that run Windows programs under Wine (sourced, not run).
# Each test keeps a Wine prefix of its own in its state folder (made once, then reused) and, as root,
# runs in a network namespace of its own where only loopback is up: nothing it starts can reach any
# other address. Exit 77 (skipped) only when Wine or the programs cannot start here.

set -uo pipefail
failures=0

skip() { echo "SKIPPED: $*"; exit 77; }
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }
finish() { [ "$failures" -eq 0 ] && echo "all checks passed" || echo "$failures check(s) failed"; exit $((failures > 0)); }

# Re-runs the calling script in a fresh network namespace with loopback up (root only).
isolate_network() {
    [ -n "${PELMORA2_ISOLATED:-}" ] && { ip link set lo up; return; }
    if [ "$(id -u)" -eq 0 ] && unshare -n true 2>/dev/null; then
        PELMORA2_ISOLATED=1 exec unshare -n -- "$0" "$@"
    fi
}

# wait_until SECONDS COMMAND...: polls every 100 ms.
wait_until() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        [ "$SECONDS" -ge "$deadline" ] && return 1
        sleep 0.1
    done
}

windows_path() { local path; path=$(realpath "$1"); echo "Z:${path//\//\\}"; }

# make_prefix STATE [ja]: a Wine prefix of the test's own in STATE/prefix, made once, then reused.
make_prefix() {
    local state=$1 locale=${2:-}
    command -v wine >/dev/null && command -v wineboot >/dev/null || skip "Wine is not installed"
    mkdir -p "$state"
    export WINEPREFIX=$state/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    wine_env=()
    if [ "$locale" = ja ]; then
        # Code page 932, as on a Japanese desktop; the locale is built into the state folder.
        if [ ! -d "$state/locale/ja_JP.UTF-8" ]; then
            mkdir -p "$state/locale"
            localedef -i ja_JP -f UTF-8 "$state/locale/ja_JP.UTF-8" >"$state/localedef.log" 2>&1 ||
                skip "the ja_JP.UTF-8 locale cannot be built here"
        fi
        wine_env=(LOCPATH="$state/locale" LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8)
    fi
    if [ ! -f "$state/prefix-ready" ]; then
        rm -rf "$WINEPREFIX"
        { env "${wine_env[@]}" wineboot -i && wineserver -w; } >"$state/wineboot.log" 2>&1 ||
            skip "Wine cannot make its prefix (see $state/wineboot.log)"
        touch "$state/prefix-ready"
    fi
}

# setup_wine STATE ZIP [ja]: the prefix, and the zip unpacked to STATE/app.
setup_wine() {
    local state=$1 zip=$2
    make_prefix "$state" "${3:-}"
    [ -f "$zip" ] || skip "no Windows programs at $zip (scripts/build-windows.sh makes them)"
    rm -rf "$state/app"
    mkdir -p "$state/app"
    (cd "$state/app" && unzip -q "$zip") || skip "the zip does not unpack"
    app=$(find "$state/app" -mindepth 1 -maxdepth 1 -type d | head -n 1)
}

# Runs a Windows program under Wine in this test's prefix and locale; Wine's own noise is dropped.
run_wine() {
    env -u QT_QPA_PLATFORM "${wine_env[@]}" wine "$@" 2> >(grep -v -e wine32 -e multiarch -e 'dpkg --add' -e 'apt-get install' \
                                                -e '^$' >&2)
}

# start_display: an Xvfb of its own; sets DISPLAY. Without -noreset the server resets whenever its last
# client leaves, which the window polls below make happen ten times a second; a program that connects
# during a reset is refused (measured: 58 of 300 connections), and its window never appears.
start_display() {
    local fifo=$1/display
    rm -f "$fifo" && mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp -noreset 3>"$fifo" >/dev/null 2>&1 &
    background+=($!)
    read -r -t 20 number <"$fifo" || skip "Xvfb does not start"
    export DISPLAY=:$number
}

# start_sim RECORD_DIR UNIT...: the Linux simulator on loopback; waits for READY.
start_sim() {
    local record=$1
    shift
    [ -n "${sim_pid:-}" ] && stop_sim
    rm -rf "$record" && mkdir -p "$record"
    "$linux_bin/qv512-sim" --record "$record" "$@" >"$record/sim.log" 2>&1 &
    sim_pid=$!
    background+=($sim_pid)
    wait_until 10 grep -q '^READY' "$record/sim.log" || { echo "the simulator did not start:"; cat "$record/sim.log"; exit 1; }
}
stop_sim() { kill "$sim_pid" 2>/dev/null; wait "$sim_pid" 2>/dev/null; sim_pid=; }

background=()
cleanup() {
    [ -n "${WINEPREFIX:-}" ] && wineserver -k 2>/dev/null
    for p in "${background[@]}"; do kill "$p" 2>/dev/null; done
}
trap cleanup EXIT

# The first mapped window whose title matches; empty when there is none.
window_named() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1; }
has_window() { [ -n "$(window_named "$1")" ]; }
lacks_window() { [ -z "$(window_named "$1")" ]; }

# no_window WHAT LOG: the failure, with what the screen shows instead and what the program printed.
no_window() {
    fail "$1: no window"
    echo "windows on the screen:"
    xdotool search --name '.' 2>/dev/null | while read -r id; do xdotool getwindowname "$id"; done | sort -u | head -n 20
    echo "processes:"
    ps -eo pid,etimes,stat,args | grep -i -e '[w]ine' -e '[X]vfb' -e '[p]elmora2' | cut -c1-160 | head -n 20
    echo "the program printed:"
    head -n 40 "$2"
}

# Presses a key in a window: focus first (no window manager here), then the key through XTEST.
press_in() {
    timeout 5 xdotool windowfocus --sync "$1" 2>/dev/null || xdotool windowfocus "$1" 2>/dev/null
    sleep 0.2
    xdotool key "$2"
}

# dismiss_box TITLE [SECONDS]: waits for the message box, presses Enter in it, waits for it to go.
dismiss_box() {
    wait_until "${2:-60}" has_window "^$1\$" || { fail "no box \"$1\""; return 1; }
    press_in "$(window_named "^$1\$")" Return
    wait_until 10 lacks_window "^$1\$" || { fail "the box \"$1\" stays"; return 1; }
}

# copy_log WINDOW FILE: the log window's text as a user copies it: a click into it (right of the
# divider), select all, copy; read from the clipboard, line ends as LF.
copy_log() {
    xdotool mousemove --window "$1" 760 300 click 1
    sleep 0.3
    xdotool key ctrl+a ctrl+c
    sleep 0.5
    xclip -o -selection clipboard 2>/dev/null | tr -d '\r' >"$2"
}

# compare LABEL EXPECTED_FILE ACTUAL_FILE
compare() {
    if cmp -s "$2" "$3"; then
        pass "$1"
    else
        fail "$1"
        diff <(od -c "$2") <(od -c "$3") | head -n 20
    fi
}
