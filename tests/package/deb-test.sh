#!/usr/bin/env bash
# The Debian package as a technician's machine gets it: made from this build with cpack and installed
# with dpkg -i. A user who is not root but in the group pelmora2 then gives a fresh simulated unit its
# address with pelmora2-batch and with the window's Set; a user outside the group gets the caution.
# Host side and unit live in two network namespaces made here; the package, its group and the test's
# users are removed at the end. Root only, and never where pelmora2 is already installed.
# Usage: deb-test.sh <build folder> <state folder>
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../wine-app/wine-app-lib.sh" # pass/fail, X display, box and log handling
build=$1 state=$2

[ "$(id -u)" -eq 0 ] || skip "needs root to install a package and make network namespaces"
for tool in dpkg cpack setcap getcap setpriv useradd Xvfb xdotool xclip; do
    command -v "$tool" >/dev/null || skip "$tool is not installed"
done
dpkg-query -W -f='${Status}' pelmora2 2>/dev/null | grep -q ' installed' &&
    skip "pelmora2 is installed on this machine; the test leaves it alone"
getent group pelmora2 >/dev/null && skip "the group pelmora2 exists on this machine; the test leaves it alone"

tag=$$
host=p2deb-h$tag unit=p2deb-u$tag hostveth=p2h$tag unitveth=p2u$tag member=p2m$tag outsider=p2o$tag
rm -rf "$state" && mkdir -p "$state"
homes=$(mktemp -d /tmp/pelmora2-package.XXXXXX) && chmod 0755 "$homes" # the test users reach it

package_cleanup() {
    cleanup
    for user in "$member" "$outsider"; do
        pkill -KILL -u "$user" 2>/dev/null
        id "$user" >/dev/null 2>&1 && userdel "$user"
    done
    dpkg --purge pelmora2 >/dev/null 2>&1
    getent group pelmora2 >/dev/null && groupdel pelmora2
    ip netns del "$host" 2>/dev/null
    ip netns del "$unit" 2>/dev/null
    rm -rf "$homes"
}
trap package_cleanup EXIT

# The package, as scripts/package.sh makes it, from this build's programs.
(cd "$build" && cpack -G DEB -B "$state/deb") >"$state/cpack.log" 2>&1 || { cat "$state/cpack.log"; exit 1; }
deb=$(ls "$state"/deb/pelmora2_*.deb)
dpkg -i "$deb" >"$state/dpkg.log" 2>&1 || { fail "dpkg -i"; cat "$state/dpkg.log"; finish; }
private=/usr/libexec/pelmora2
[ "$(stat -c '%U:%G %a' "$private/pelmora2-neigh")" = "root:pelmora2 750" ] &&
    pass "the helper is root:pelmora2 0750" || fail "the helper's owner or mode: $(stat -c '%U:%G %a' "$private/pelmora2-neigh")"
capable=$(dpkg -L pelmora2 | while read -r file; do [ -f "$file" ] && getcap "$file"; done)
[ "$capable" = "$private/pelmora2-neigh cap_net_admin=ep" ] &&
    pass "the helper alone holds a capability" || fail "files with capabilities: $capable"
for program in pelmora2 pelmora2-batch qv512-sim; do
    [ "$(readlink -f "/usr/bin/$program")" = "$private/$program" ] || fail "/usr/bin/$program does not lead to $private"
done
grep -q '^Exec=pelmora2$' /usr/share/applications/pelmora2.desktop || fail "no desktop entry"

useradd --system --no-create-home --shell /usr/sbin/nologin --groups pelmora2 "$member" &&
    useradd --system --no-create-home --shell /usr/sbin/nologin "$outsider" || { fail "useradd"; finish; }

ip netns add "$host" && ip netns add "$unit" &&
    ip link add "$hostveth" netns "$host" type veth peer name "$unitveth" netns "$unit" &&
    ip -n "$host" addr add 198.51.100.1/24 dev "$hostveth" && ip -n "$host" link set "$hostveth" up &&
    ip -n "$host" link set lo up || { fail "network namespaces"; finish; }

# fresh_unit MAC: a factory-fresh unit with that MAC, its console on 2710 once it has an address.
fresh_unit() {
    [ -n "${sim_pid:-}" ] && stop_sim
    ip -n "$unit" link set "$unitveth" down
    ip -n "$unit" link set "$unitveth" address "$1" up
    ip netns exec "$unit" /usr/bin/qv512-sim --fresh-unit "$unitveth" --mac "${1//:/-}" 2710 >"$state/sim.log" 2>&1 &
    sim_pid=$!
    background+=("$sim_pid")
    wait_until 10 grep -q "^watching $unitveth" "$state/sim.log" || { fail "the simulator did not start"; cat "$state/sim.log"; finish; }
}
neighbour() { ip -n "$host" neigh show "$1"; }

# as USER COMMAND...: in the host namespace, as USER with the groups /etc/group gives, in a home of its own.
as() {
    local user=$1 home=$homes/$1
    shift
    mkdir -p "$home" && chown "$user:" "$home" && chmod 0700 "$home"
    (cd "$home" && ip netns exec "$host" setpriv --reuid="$user" --regid="$user" --init-groups -- \
        env -i HOME="$home" PATH=/usr/bin:/bin LANG=C.UTF-8 DISPLAY="${DISPLAY:-}" XDG_CONFIG_HOME="$home/config" \
        XDG_RUNTIME_DIR="$home" QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}" "${extra_env[@]}" "$@")
}
extra_env=()
plan() { printf 'unit,ip,port,mac\nfresh,%s,2710,%s\n' "$1" "$2" >"$homes/$3/plan.csv"; chown "$3:" "$homes/$3/plan.csv"; }

# Outside the group: the caution, and nothing sent.
fresh_unit 0a:00:3c:5e:7a:11
as "$outsider" true
plan 198.51.100.20 5E-7A-11 "$outsider"
as "$outsider" pelmora2-batch plan.csv --report report.csv >"$state/outsider.out" 2>"$state/outsider.err"
grep -q "add yourself to the group pelmora2 (installed package), or run as root" "$state/outsider.err" &&
    pass "outside the group: the caution" || { fail "outside the group: no caution"; cat "$state/outsider.err"; }
neighbour 198.51.100.20 | grep -q PERMANENT && fail "outside the group: an entry was made"

# In the group: pelmora2-batch assigns the address and checks the console.
as "$member" true
plan 198.51.100.20 5E-7A-11 "$member"
as "$member" pelmora2-batch plan.csv --report report.csv >"$state/member.out" 2>"$state/member.err"
status=$?
report=$homes/$member/report.csv
if [ "$status" -eq 0 ] && grep -q ',assign,pass,IP setting is finished\.,' "$report" &&
    grep -q ',check,pass,Communication Check is finished\.,' "$report"; then
    pass "in the group: pelmora2-batch assigns and checks"
else
    fail "in the group: pelmora2-batch exit $status"; cat "$state/member.err" "$report"
fi
neighbour 198.51.100.20 | grep -q 'lladdr 0a:00:3c:5e:7a:11 PERMANENT' || fail "no entry after the batch: $(neighbour 198.51.100.20)"

# In the group: the window's Set, clicked once the window shows, for another fresh unit.
fresh_unit 0a:00:3c:5e:7a:12
start_display "$state"
title="Pelmora2 \\(QV512\\)"
extra_env=(PELMORA2_CLICK_AFTER_SHOW="txtMCAddr[0]=5E-7A-12;txtIPAddr_IP[0]=198.51.100.21;cmdSet_IP[0]")
QT_QPA_PLATFORM=xcb as "$member" pelmora2 >"$state/window.log" 2>&1 &
window=$!
background+=("$window")
extra_env=()
if wait_until 60 has_window "^$title\$"; then
    dismiss_box "Set Command" 90
    copy_log "$(window_named "^$title\$")" "$state/window-log.txt"
    grep -q "Reply from 198.51.100.21: bytes=32" "$state/window-log.txt" &&
        grep -q "198.51.100.21 *0a-00-3c-5e-7a-12 *static" "$state/window-log.txt" &&
        pass "in the group: the window's Set assigns" || { fail "the window's log"; cat "$state/window-log.txt"; }
    neighbour 198.51.100.21 | grep -q 'lladdr 0a:00:3c:5e:7a:12 PERMANENT' || fail "no entry after the window's Set"
    # Closed as a session's end closes it: the slots are saved as the user.
    pkill -TERM -u "$member" -x pelmora2
    wait_until 20 bash -c "! pgrep -u $member -x pelmora2 >/dev/null" || fail "the window did not end on SIGTERM"
    wait "$window"
    store=$homes/$member/config/Pelmora2/QV512.ini
    [ "$(stat -c '%U %a' "$store")" = "$member 600" ] && grep -q '^SLOT0=198.51.100.21' "$store" &&
        pass "the window saved the slots as the user, 0600" || fail "the slot store: $(stat -c '%U %a' "$store")"
else
    no_window pelmora2 "$state/window.log"
fi

# Removing the package takes its files; purging it takes the group.
userdel "$member" && userdel "$outsider"
dpkg --purge pelmora2 >>"$state/dpkg.log" 2>&1 || fail "dpkg --purge"
[ ! -e "$private" ] && [ ! -e /usr/bin/pelmora2 ] && ! getent group pelmora2 >/dev/null &&
    pass "purged: files and group gone" || fail "purge left files or the group"
finish
