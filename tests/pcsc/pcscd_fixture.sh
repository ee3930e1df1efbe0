#!/usr/bin/env bash
# A private pcscd for the PC/SC tests: its own reader configuration (vpcd on
# a free port pair) and its own socket, in a mount namespace of its own so it
# never meets the system's pcscd (whose socket path is fixed at build time);
# where mount namespaces are not allowed, on the system's socket path when
# no pcscd runs there.
#   pcscd_fixture.sh start DIR   -> DIR/port (vpcd's), DIR/socket (pcscd's), DIR/pid
#   pcscd_fixture.sh stop DIR
# Needs root (mount namespace). Not root: exit 77, which the tests take as
# "skipped". Exits 1 with a message when pcscd or vpcd is missing or pcscd
# does not come up. Every wait is bounded.
set -uo pipefail
action="${1:-}"
dir="${2:-}"
[ -n "$action" ] && [ -n "$dir" ] || { echo "usage: $0 start|stop DIR" >&2; exit 2; }
mkdir -p "$dir" && dir="$(cd "$dir" && pwd)"
vpcd_driver=/usr/lib/pcsc/drivers/serial/libifdvpcd.so

stop() {
    if [ -f "$dir/pid" ]; then
        local pid
        pid="$(cat "$dir/pid")"
        # Only the pcscd this script started.
        if [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = pcscd ]; then
            kill "$pid" 2>/dev/null
            for _ in $(seq 50); do
                kill -0 "$pid" 2>/dev/null || break
                sleep 0.1
            done
            kill -9 "$pid" 2>/dev/null
        fi
        rm -f "$dir/pid"
    fi
    rm -f "$dir/port" "$dir/socket"
}

port_free() { ! (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null; }

start() {
    stop
    if [ "$(id -u)" -ne 0 ]; then
        echo "PC/SC tests skipped: a private pcscd needs root (mount namespace); run the tests as root."
        exit 77
    fi
    command -v pcscd >/dev/null || { echo "pcscd is not installed (scripts/setup.sh installs it)." >&2; exit 1; }
    [ -f "$vpcd_driver" ] || { echo "vpcd is not installed: no $vpcd_driver (package vsmartcard-vpcd)." >&2; exit 1; }
    command -v unshare >/dev/null || { echo "unshare (util-linux) is missing." >&2; exit 1; }
    mkdir -p "$dir/conf" "$dir/run" /run/pcscd
    rm -f "$dir/run/"*
    local port=""
    for _ in $(seq 40); do
        local candidate=$((20000 + RANDOM % 20000))
        if port_free "$candidate" && port_free $((candidate + 1)); then
            port=$candidate
            break
        fi
    done
    [ -n "$port" ] || { echo "no free TCP port pair for vpcd" >&2; exit 1; }
    cat >"$dir/conf/vpcd" <<CONF
FRIENDLYNAME "Virtual PCD"
DEVICENAME   /dev/null:$port
LIBPATH      $vpcd_driver
CHANNELID    $port
CONF
    # Without mount namespaces (a container without the right): pcscd on the
    # system's socket path, when no other pcscd holds it.
    local socket="$dir/run/pcscd.comm"
    if unshare --mount --propagation private true 2>/dev/null; then
        unshare --mount --propagation private sh -c \
            "mount --bind '$dir/run' /run/pcscd && exec pcscd --foreground --info --config '$dir/conf'" \
            >"$dir/pcscd.log" 2>&1 </dev/null &
    elif [ ! -S /run/pcscd/pcscd.comm ]; then
        socket=/run/pcscd/pcscd.comm
        pcscd --foreground --info --config "$dir/conf" >"$dir/pcscd.log" 2>&1 </dev/null &
    else
        echo "no mount namespace for a private pcscd, and the system's pcscd holds its socket." >&2
        exit 1
    fi
    echo $! >"$dir/pid"
    for _ in $(seq 100); do
        if [ -S "$socket" ] && grep -q 'daemon ready' "$dir/pcscd.log"; then
            echo "$socket" >"$dir/socket"
            echo "$port" >"$dir/port"
            echo "private pcscd $(cat "$dir/pid") on $socket, vpcd on ports $port and $((port + 1))"
            exit 0
        fi
        kill -0 "$(cat "$dir/pid")" 2>/dev/null || break
        sleep 0.1
    done
    echo "pcscd did not come up; its log:" >&2
    cat "$dir/pcscd.log" >&2
    stop
    exit 1
}

case "$action" in
start) start ;;
stop) stop ;;
*) echo "usage: $0 start|stop DIR" >&2; exit 2 ;;
esac
