# Shared by the host adapters: argument checks and Windows-shaped output. Sourced, never run.
# Arguments are only ever compared and passed on quoted; nothing is evaluated by the shell.

# Lines with CR LF ends, as the Windows commands write them.
crlf() {
    awk '{ printf "%s\r\n", $0 }'
}

# Succeeds for a dotted IPv4 address in the one form the program gives: four decimal octets of at most
# 255, without leading zeros. The program has already written it so; anything else is refused rather
# than read another way (ping and ip would take "010" as octal).
address_arg() {
    case $1 in
    '' | *[!0-9.]*) return 1 ;;
    esac
    octet='(25[0-5]|2[0-4][0-9]|1[0-9][0-9]|[1-9]?[0-9])'
    printf '%s\n' "$1" | grep -Eqx "($octet\\.){3}$octet"
}

# Prints a MAC address given as six hex pairs joined by "-" or ":" in iproute2's form (lower case, ":").
mac_arg() {
    case $1 in
    [0-9A-Fa-f][0-9A-Fa-f][-:][0-9A-Fa-f][0-9A-Fa-f][-:][0-9A-Fa-f][0-9A-Fa-f][-:][0-9A-Fa-f][0-9A-Fa-f][-:][0-9A-Fa-f][0-9A-Fa-f][-:][0-9A-Fa-f][0-9A-Fa-f]) ;;
    *) return 1 ;;
    esac
    printf '%s\n' "$1" | tr 'A-F-' 'a-f:'
}

# Succeeds for an interface index (decimal digits).
index_arg() {
    case $1 in
    '' | *[!0-9]*) return 1 ;;
    esac
}

# The name of the interface with index $1 ("" when there is none).
interface_name() {
    ip -o link show | awk -F': ' -v want="$1" '$1 == want { name = $2; sub(/@.*/, "", name); print name; exit }'
}

# The interface through which the host reaches address $1.
route_interface() {
    ip -4 route get "$1" 2>/dev/null |
        awk '{ for (i = 1; i < NF; i++) if ($i == "dev") { print $(i + 1); exit } }'
}

# Root changes the neighbour table itself; anyone else asks the program's helper, which alone holds
# the right to (for the members of the group pelmora2).
by_helper() {
    [ "$(id -u)" -ne 0 ]
}
neigh_helper="$here/../pelmora2-neigh" # $here: set by the adapter that sources this

usage_error() {
    printf '%s\n' "$1" | crlf >&2
    exit 1
}
