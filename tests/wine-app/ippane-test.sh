#!/usr/bin/env bash
# The IP pane as Windows runs it: pelmora2.exe from the zip under Wine sets slot 2's address and pings
# it through the real cmd.exe, with stand-in arp, ping, netsh and chcp programs ahead of Wine's own
# (they print recorded Windows output and note their command lines). The lines must reach them in
# order and the log window must hold the capture. As root all of it runs in a network namespace of its
# own, so nothing can reach a network even by mistake.
# Usage: ippane-test.sh <zip> <stand-in program> <sample folder> <state folder>
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine-app-lib.sh"
isolate_network "$@"
zip=$1 stub=$2 samples=$3 state=$4
setup_wine "$state" "$zip"
start_display "$state"

rm -rf "$state/stubs" "$state/stub.log"
mkdir -p "$state/stubs"
for name in arp ping netsh chcp; do cp "$stub" "$state/stubs/$name.exe"; done
export WINEPATH PELMORA2_STUB_LOG PELMORA2_STUB_DATA
WINEPATH=$(windows_path "$state/stubs")
PELMORA2_STUB_DATA=$(windows_path "$samples")
touch "$state/stub.log"
PELMORA2_STUB_LOG=$(windows_path "$state/stub.log")

run_wine reg delete 'HKCU\Software\Pelmora2' /f >/dev/null 2>&1
seed() { run_wine reg add "HKCU\\Software\\Pelmora2\\QV512\\$1" /v SLOT2 /d "$2" /f >/dev/null; }
seed MACAddress 12-34-56
seed IPAddress 192.168.0.20
seed PortNo 2710
seed Slot 1

title="Pelmora2 \\(QV512\\)"
(cd "$app" && PELMORA2_CLICK_AFTER_SHOW="cmdSet_IP[2];cmdPing[2]" run_wine ./pelmora2.exe >"$state/program.log" 2>&1) &
program=$!
background+=($program)
wait_until 180 has_window "^$title\$" || { no_window pelmora2.exe "$state/program.log"; finish; }
main=$(window_named "^$title\$")
dismiss_box "Set Command" 90
dismiss_box "Ping Command" 90
copy_log "$main" "$state/log.txt"
import -window root "$state/ippane-window.png" 2>/dev/null
run_wine taskkill /im pelmora2.exe >/dev/null 2>&1

# The lines cmd.exe started, as the stand-ins saw them (name|command line).
tr -d '\r' <"$state/stub.log" >"$state/lines.txt"
compare "host command lines in order" "$here/ippane-lines.txt" "$state/lines.txt"
grep -q "Reply from 192.168.0.20: bytes=32 time<1ms TTL=64" "$state/log.txt" && pass "the log holds the ping capture" ||
    { fail "the log does not hold the ping capture"; cat "$state/log.txt"; }
finish
