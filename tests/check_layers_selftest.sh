#!/usr/bin/env bash
# The layer check must catch what it is for: plants forbidden includes in a
# scratch tree, one at a time, and expects each to fail, and a clean tree to pass.
set -uo pipefail
check="$1"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT

plant() { # file, include
    rm -rf "$scratch/tree"
    mkdir -p "$scratch/tree/$(dirname "$1")"
    printf '#include "%s"\n' "$2" >"$scratch/tree/$1"
}

failures=0
expect() { # expected status (0 pass, 1 fail), file, include
    plant "$2" "$3"
    "$check" "$scratch/tree" >/dev/null
    local got=$?
    if [ "$got" -ne "$1" ]; then
        echo "expected $1, got $got: $2 including \"$3\""
        failures=1
    fi
}

expect 0 reader/A.cpp reader/B.h
expect 0 panels/contact/A.cpp ui/B.h
expect 0 app/A.cpp panels/contact/B.h
expect 0 sim/core/A.cpp reader/qvd_api.h
expect 1 reader/A.cpp ui/B.h
expect 1 reader/A.cpp app/B.h
expect 1 sim/core/A.cpp reader/QvdLibrary.h
expect 1 sim/core/A.cpp ui/B.h
expect 1 ui/A.cpp panels/contact/B.h
expect 1 ui/A.cpp app/B.h
expect 1 panels/contact/A.cpp app/B.h
expect 1 panels/contact/A.cpp panels/device/B.h
expect 1 panels/contact/A.cpp B.h
expect 1 tests/contact/A.cpp panels/device/B.h
expect 0 sim/core/A.cpp dump/B.h
expect 0 reader/A.cpp dump/B.h
expect 0 panels/mifare_one/A.cpp dump/B.h
expect 0 dump/A.cpp dump/B.h
expect 0 tests/dump/A.cpp dump/B.h
expect 1 dump/A.cpp reader/B.h
expect 1 dump/A.cpp sim/core/B.h
expect 1 tests/dump/A.cpp reader/B.h
exit "$failures"
