#!/usr/bin/env bash
# The window as Windows runs it: pelmora2.exe from the zip under Wine, and the Linux pelmora2 beside it,
# each driven through the same steps against the Linux simulator on loopback: ComCheck All over eight
# units, then Set Gateway on slot 2. The units must receive the same bytes and the log must hold the
# same text; after a close request the registry holds the whole slot table again.
# Usage: window-test.sh <zip> <Linux bin folder> <state folder>
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine-app-lib.sh"
isolate_network "$@"
zip=$1 linux_bin=$2 state=$3
setup_wine "$state" "$zip"
start_display "$state"

ports=(2730 2731 2732 2733 2734 2735 2736 2737)
steps="mnuComCheck;cmdAllComCheck;mnuGateWay;txtGateWay[2]=10.20.30.254;cmdSet_GW[2]"
title="Pelmora2 \\(QV512\\)"
boxes=("Communication Check" "Set GW Addr")

slot_value() { # section slot
    case $1 in
        MACAddress) echo "12-34-5$2" ;;
        IPAddress) echo "127.0.0.1" ;;
        PortNo) echo "${ports[$2]}" ;;
        Slot) echo 1 ;;
    esac
}
sections=(MACAddress IPAddress PortNo Slot)

seed_linux() {
    mkdir -p "$1/Pelmora2"
    for section in "${sections[@]}"; do
        echo "[$section]"
        for slot in "${!ports[@]}"; do echo "SLOT$slot=$(slot_value "$section" "$slot")"; done
    done >"$1/Pelmora2/QV512.ini"
}
seed_wine() {
    run_wine reg delete 'HKCU\Software\Pelmora2' /f >/dev/null 2>&1
    for section in "${sections[@]}"; do
        for slot in "${!ports[@]}"; do
            run_wine reg add "HKCU\\Software\\Pelmora2\\QV512\\$section" /v "SLOT$slot" /d "$(slot_value "$section" "$slot")" /f >/dev/null
        done
    done
}

# drive WHICH OUT: starts the program, waits for each closing box and dismisses it, copies the log
# window's text through the clipboard as a user would, and leaves the program running.
drive() {
    local which=$1 out=$2 main box
    rm -rf "$out" && mkdir -p "$out"
    start_sim "$out/record" "${ports[@]}"
    if [ "$which" = wine ]; then
        (cd "$app" && PELMORA2_CLICK_AFTER_SHOW=$steps run_wine ./pelmora2.exe >"$out/program.log" 2>&1) &
    else
        XDG_CONFIG_HOME=$state/linux-config QT_QPA_PLATFORM=xcb PELMORA2_CLICK_AFTER_SHOW=$steps \
            "$linux_bin/pelmora2" >"$out/program.log" 2>&1 &
    fi
    program=$!
    background+=($program)
    wait_until 180 has_window "^$title\$" || { no_window "$which" "$out/program.log"; return 1; }
    main=$(window_named "^$title\$")
    for name in "${boxes[@]}"; do
        [ "$name" = "${boxes[0]}" ] && wait_until 60 has_window "^$name\$" &&
            import -window root "$state/$which-window.png" 2>/dev/null
        dismiss_box "$name" || return 1
    done
    copy_log "$main" "$out/log.txt"
    stop_sim
}

seed_linux "$state/linux-config"
drive linux "$state/linux"
kill "$program" 2>/dev/null
seed_wine
drive wine "$state/wine"

[ -s "$state/linux/log.txt" ] && grep -q "Communication Check" "$state/linux/log.txt" ||
    fail "the Linux window's log was not copied"
compare "log text" "$state/linux/log.txt" "$state/wine/log.txt"
for slot in "${!ports[@]}"; do
    [ -s "$state/linux/record/unit$slot.bin" ] || fail "unit $slot received nothing from the Linux window"
    compare "bytes received by unit $slot" "$state/linux/record/unit$slot.bin" "$state/wine/record/unit$slot.bin"
done

# The slot table is written when the window closes: remove it, ask the window to close, read it back.
run_wine reg delete 'HKCU\Software\Pelmora2\QV512' /f >/dev/null 2>&1
run_wine taskkill /im pelmora2.exe >/dev/null 2>&1
wait_until 20 bash -c "! kill -0 $program 2>/dev/null" || fail "the window did not close on request"
run_wine reg query 'HKCU\Software\Pelmora2\QV512' /s | tr -d '\r' >"$state/registry.txt"
for section in "${sections[@]}"; do
    for slot in "${!ports[@]}"; do
        awk -v s="$section" -v k="SLOT$slot" -v v="$(slot_value "$section" "$slot")" '
            /^HKEY/ { here = ($0 ~ ("\\\\" s "$")) } here && $1 == k && $NF == v { found = 1 }
            END { exit !found }' "$state/registry.txt" || fail "registry: $section SLOT$slot missing after close"
    done
done
grep -q SLOT7 "$state/registry.txt" && pass "slot table written at close"
finish
