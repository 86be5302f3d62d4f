#!/usr/bin/env bash
# pelmora2-batch.exe from the zip under Wine, in a Japanese prefix (code page 932), beside the Linux
# pelmora2-batch: the same 16-unit plan against the Linux simulator with its faults gives the same
# report rows (times aside); a Japanese label survives into the report and onto the console; Ctrl+C
# typed into the console ends a run with exit status 130 and a report that names every unit.
# Usage: batch-test.sh <zip> <Linux bin folder> <state folder>
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine-app-lib.sh"
isolate_network "$@"
zip=$1 linux_bin=$2 state=$3
setup_wine "$state" "$zip" ja
command -v tmux >/dev/null || skip "tmux is not installed"
label=第1ラック-01

# One unit a row; the simulator's faults per port.
units=(
    "ok-check,2740,,,,yes|2740"
    "ok-gateway,2741,10.1.1.1,,,yes|2741"
    "ok-mask,2742,,255.255.0.0,,yes|2742"
    "ok-all,2743,10.1.1.1,255.255.255.0,,no|2743"
    "refused,2744,,,,yes|2744:refuse"
    "silent,2745,,,,yes|2745:silent"
    "error-reply,2746,10.1.1.1,,,yes|2746:error=BAD PARAM"
    "unsupported,2747,,255.255.255.0,,yes|2747:unsupported"
    "late-esc,2748,,,,yes|2748:late-esc=200"
    "wrong-esc,2749,10.2.2.2,,,yes|2749:wrong-esc"
    "no-echo,274A,,,,yes|274A:no-echo=U"
    "close-mid,274B,10.3.3.3,,,yes|274B:close-mid"
    "drip,274C,,,,yes|274C:drip=3"
    "new-port,274D,,,275D,yes|274D"
    "$label,274E,10.4.4.4,,,yes|274E:prompt=#"
    "short-status,274F,,,,yes|274F:short126"
)
sim_units=()
{
    echo "unit,ip,port,gateway,mask,new_port,check"
    for u in "${units[@]}"; do
        IFS=, read -r name port gateway mask new_port check <<<"${u%%|*}"
        echo "$name,127.0.0.1,$port,$gateway,$mask,$new_port,$check"
        sim_units+=("${u#*|}")
    done
} >"$state/plan.csv"

# Short receive limits, the same for both programs: Linux through REMOTE.ini, Windows the registry.
mkdir -p "$state/linux-config/Pelmora2"
printf '[TIMEOUT]\nRESET=400\n\n[RESET_RETRY]\nNORMAL=2\n' >"$state/linux-config/Pelmora2/REMOTE.ini"
run_wine reg add 'HKCU\Software\Pelmora2\REMOTE\TIMEOUT' /v RESET /d 400 /f >/dev/null
run_wine reg add 'HKCU\Software\Pelmora2\REMOTE\RESET_RETRY' /v NORMAL /d 2 /f >/dev/null

# Report rows without the two time columns, whichever place they have.
timeless() {
    sed '1s/^\xef\xbb\xbf//' "$1" | tr -d '\r' | awk -F, '
        NR == 1 { for (i = 1; i <= NF; i++) drop[i] = ($i == "started" || $i == "duration_ms") }
        { line = ""; for (i = 1; i <= NF; i++) if (!drop[i]) line = line (line == "" ? "" : ",") $i; print line }'
}

cd "$state" || exit 1
start_sim "$state/linux-record" "${sim_units[@]}"
XDG_CONFIG_HOME=$state/linux-config "$linux_bin/pelmora2-batch" plan.csv --report linux-report.csv \
    --log linux-log.txt >linux-out.txt 2>&1
linux_status=$?
stop_sim
start_sim "$state/wine-record" "${sim_units[@]}"
run_wine "$app/pelmora2-batch.exe" plan.csv --report wine-report.csv --log wine-log.txt >wine-out.txt 2>&1
wine_status=$?
stop_sim

[ "$wine_status" -eq "$linux_status" ] && pass "exit status $wine_status on both" ||
    fail "exit status: Linux $linux_status, Windows $wine_status"
[ "$(timeless linux-report.csv | tail -n +2 | cut -d, -f1 | sort -u | wc -l)" -eq 16 ] ||
    fail "the Linux report does not name all 16 units"
compare "report rows" <(timeless linux-report.csv) <(timeless wine-report.csv)
compare "log" <(tr -d '\r' <linux-log.txt) <(tr -d '\r' <wine-log.txt)
grep -q "^$label," <(timeless wine-report.csv) && pass "Japanese label in the report" ||
    fail "the Japanese label is not in the report"

# The console: the same label shown by a dry run, through the console of code page 932.
console_run() { # name command...: runs in a terminal of its own (tmux server "name")
    local name=$1
    shift
    rm -f "$name.status"
    LANG=C.UTF-8 tmux -L "pelmora2-$name-$$" -u new-session -d -x 200 -y 50 \
        "cd '$state' && env ${wine_env[*]} WINEPREFIX='$WINEPREFIX' WINEDEBUG=-all wine $* 2>/dev/null; echo \$? >$name.status; sleep 60"
}
console_screen() { tmux -L "pelmora2-$1-$$" capture-pane -p -S -3000 -t 0 >"$1.screen"; tmux -L "pelmora2-$1-$$" kill-server; }
console_run dry "$app/pelmora2-batch.exe" --dry-run plan.csv
wait_until 120 test -f dry.status
console_screen dry
grep -q "$label" dry.screen && pass "Japanese label on the console" ||
    { fail "the Japanese label is garbled on the console"; cat dry.screen | head -n 20; }

# Ctrl+C typed into the console while units wait for their ESC answers.
run_wine reg add 'HKCU\Software\Pelmora2\REMOTE\TIMEOUT' /v RESET /d 5000 /f >/dev/null
run_wine reg add 'HKCU\Software\Pelmora2\REMOTE\RESET_RETRY' /v NORMAL /d 5 /f >/dev/null
start_sim "$state/interrupt-record" 2760:silent 2761:silent 2762:silent 2763:silent
printf 'unit,ip,port\nu0,127.0.0.1,2760\nu1,127.0.0.1,2761\nu2,127.0.0.1,2762\n%s,127.0.0.1,2763\n' "$label" >slow.csv
rm -f interrupted-report.csv
console_run interrupt "$app/pelmora2-batch.exe" slow.csv --report interrupted-report.csv
wait_until 120 bash -c "[ \$(grep -c '^connected' '$state/interrupt-record/sim.log') -ge 4 ]" ||
    fail "the slow units were not reached"
tmux -L "pelmora2-interrupt-$$" send-keys -t 0 C-c
wait_until 30 test -f interrupt.status
console_screen interrupt
status=$(cat interrupt.status 2>/dev/null)
stop_sim
[ "$status" = 130 ] && pass "Ctrl+C: exit status 130" || { fail "Ctrl+C: exit status ${status:-none}, not 130"; cat interrupt.screen; }
for unit in u0 u1 u2 "$label"; do
    grep -q "^$unit,.*interrupted" <(timeless interrupted-report.csv 2>/dev/null) ||
        fail "Ctrl+C: the report has no interrupted row for $unit"
done
finish
