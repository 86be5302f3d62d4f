#!/usr/bin/env bash
# Runs the cross-built Windows platform test under Wine.
# Usage: run-wine-test.sh <test exe> <stub exe> <sample folder> <state folder>
# The state folder keeps a Wine prefix of its own (made once, then reused) initialised under a Japanese
# locale, so that the ANSI code page is 932. The locale is built into the state folder too: nothing
# outside it changes. Exit 77 (skipped) when Wine is missing or cannot start.
set -uo pipefail
test_exe=$1 stub_exe=$2 samples=$3 state=$4

skip() { echo "SKIPPED: $*"; exit 77; }
command -v wine >/dev/null && command -v wineboot >/dev/null || skip "Wine is not installed"
mkdir -p "$state"

if [ ! -d "$state/locale/ja_JP.UTF-8" ]; then
    mkdir -p "$state/locale"
    localedef -i ja_JP -f UTF-8 "$state/locale/ja_JP.UTF-8" >"$state/localedef.log" 2>&1 ||
        skip "the ja_JP.UTF-8 locale cannot be built here (see $state/localedef.log)"
fi
export WINEPREFIX=$state/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY
# Wine takes its Windows locale from these; this shell keeps its own. As root Wine also runs in a
# network namespace of its own with no interface up, so nothing it starts can reach any address even
# by mistake (otherwise the stubs alone stand in the way).
isolated=()
unshare -n true 2>/dev/null && isolated=(unshare -n --)
japanese() {
    LOCPATH=$state/locale LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8 "${isolated[@]}" "$@"
}

if [ ! -f "$state/prefix-ready" ]; then
    rm -rf "$WINEPREFIX"
    { japanese wineboot -i && wineserver -w; } >"$state/wineboot.log" 2>&1 ||
        skip "Wine cannot make its prefix (see $state/wineboot.log)"
    touch "$state/prefix-ready"
fi

# One stub program under every name the test runs; these names and nothing else are on PATH.
rm -rf "$state/stubs" "$state/work"
mkdir -p "$state/stubs"
for name in arp ping netsh chcp errcmd slowcmd comspec; do
    cp "$stub_exe" "$state/stubs/$name.exe"
done

windows_path() { local path; path=$(realpath "$1"); echo "Z:${path//\//\\}"; }

start=$(date +%s%N)
japanese wine "$test_exe" "$(windows_path "$state/stubs")" "$(windows_path "$samples")" "$(windows_path "$state")\\work" \
    2> >(grep -v -e 'wine32 is missing' -e 'multiarch needs' -e 'dpkg --add-architecture' -e 'apt-get install wine32' >&2)
status=$?
echo "Wine test took $((($(date +%s%N) - start) / 1000000)) ms"
[ "$status" -ne 0 ] && [ -f "$state/work/stub.log" ] && echo "--- command lines the stubs saw:" &&
    cat "$state/work/stub.log"
# Whatever the test left running in this prefix ends here.
wineserver -k 2>/dev/null
exit $status
