#!/usr/bin/env bash
# Sets up, builds and opens Pelmora2 against eight simulated QV512 units on this machine.
# The program runs with a demo settings store (build/demo/config), never the user's own.
# Without a display it runs under Xvfb and saves a screenshot.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
scripts/setup.sh --run
scripts/build.sh build

demo=$root/build/demo
rm -rf "$demo"
mkdir -p "$demo/config/Pelmora2" "$demo/record"

# Eight units on 127.0.0.1, console ports 2710..2717 (hex), every slot ticked.
ports=(2710 2711 2712 2713 2714 2715 2716 2717)
{
    for section in MACAddress IPAddress PortNo Slot; do
        echo "[$section]"
        for i in "${!ports[@]}"; do
            case $section in
                MACAddress) echo "SLOT$i=12-34-5$i" ;;
                IPAddress) echo "SLOT$i=127.0.0.1" ;;
                PortNo) echo "SLOT$i=${ports[$i]}" ;;
                Slot) echo "SLOT$i=1" ;;
            esac
        done
        echo
    done
} >"$demo/config/Pelmora2/QV512.ini"

pids=()
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
}
trap cleanup EXIT INT TERM

"$root/build/bin/qv512-sim" --record "$demo/record" "${ports[@]}" >"$demo/sim.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do
    grep -q '^READY' "$demo/sim.log" 2>/dev/null && break
    sleep 0.1
done
grep -q '^READY' "$demo/sim.log" || { echo "The unit simulator did not start; see $demo/sim.log" >&2; exit 1; }

headless=0
if [ -z "${DISPLAY:-}" ]; then
    headless=1
    Xvfb :47 -screen 0 1280x800x24 -nolisten tcp -noreset >"$demo/xvfb.log" 2>&1 &
    pids+=($!)
    export DISPLAY=:47
    sleep 1
fi

echo "Eight simulated QV512 units listen on 127.0.0.1, console ports 2710 to 2717 (hex)."
echo "Every slot is ticked: choose TEST > ComCheck and press \"ComCheck All\" to see eight passes."
echo "Settings used: $demo/config/Pelmora2/QV512.ini; bytes each unit received: $demo/record/"
XDG_CONFIG_HOME=$demo/config "$root/build/bin/pelmora2" &
app=$!
pids+=($app)

if [ "$headless" = 1 ]; then
    sleep 3
    if kill -0 "$app" 2>/dev/null; then
        import -display "$DISPLAY" -window root "$demo/screenshot.png"
        echo "No display here: the window runs under Xvfb ($DISPLAY); screenshot saved to $demo/screenshot.png"
        echo "Press Ctrl+C to end."
    fi
fi
wait "$app" || echo "Pelmora2 ended with status $?"
