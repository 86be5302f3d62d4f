#!/usr/bin/env bash
# Runs the cross-built Windows platform test under Wine, in a prefix of its own made under a Japanese
# locale so that the ANSI code page is 932. Exit 77 (skipped) when Wine is missing or cannot start.
# Usage: run-wine-test.sh <test exe> <stub exe> <sample folder> <state folder>
source "$(dirname "$0")/../../../../tests/wine-app/wine-app-lib.sh"
isolate_network "$@"
test_exe=$1 stub_exe=$2 samples=$3 state=$4
make_prefix "$state" ja
unset DISPLAY

# One stub program under every name the test runs; these names and nothing else are on PATH.
rm -rf "$state/stubs" "$state/work"
mkdir -p "$state/stubs"
for name in arp ping netsh chcp errcmd slowcmd comspec; do
    cp "$stub_exe" "$state/stubs/$name.exe"
done

run_wine "$test_exe" "$(windows_path "$state/stubs")" "$(windows_path "$samples")" "$(windows_path "$state")\\work"
status=$?
[ "$status" -ne 0 ] && [ -f "$state/work/stub.log" ] && echo "--- command lines the stubs saw:" &&
    cat "$state/work/stub.log"
exit $status
