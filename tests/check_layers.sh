#!/usr/bin/env bash
# Fails when a source file includes a project header its layer may not use.
#   dump/            dump/ (and every layer below may use it too)
#   reader/          reader/
#   sim/, pcsc/      their own folder and reader/qvd_api.h
#   ui/              reader/ ui/
#   panels/<f>/      reader/ ui/ panels/<f>/
#   app/             reader/ ui/ panels/ app/
#   tests/<folder>/  what the folder's library may include, tests/support/ and
#                    tests/<folder>/ (tests/app and tests/e2e: anything but sim/)
# Every quoted include names its folder from the source root.
# Usage: check_layers.sh [SOURCE_ROOT]
set -uo pipefail
root="${1:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}"
cd "$root" || exit 2

allowed_for() { # folder of the including file -> allowed include prefixes
    local file="$1"
    case "$file" in
    dump/*) echo "dump/" ;;
    tests/dump/*) echo "dump/ tests/support/ tests/dump/" ;;
    *)
        local own
        own="$(layer_for "$file")"
        [ "$own" = "*" ] && echo "*" || echo "dump/ $own"
        ;;
    esac
}

layer_for() { # folder of the including file -> its own allowed prefixes, dump/ aside
    local file="$1"
    case "$file" in
    reader/*) echo "reader/" ;;
    sim/*) echo "sim/ reader/qvd_api.h" ;;
    pcsc/*) echo "pcsc/ reader/qvd_api.h" ;;
    ui/*) echo "reader/ ui/" ;;
    panels/*/*)
        local family="${file#panels/}"
        echo "reader/ ui/ panels/${family%%/*}/"
        ;;
    app/*) echo "reader/ ui/ panels/ app/" ;;
    tests/support/*) echo "reader/ ui/ app/StatusPanes.h tests/support/" ;;
    tests/reader/*) echo "reader/ tests/support/ tests/reader/" ;;
    tests/sim/*) echo "sim/ reader/ tests/support/ tests/sim/" ;;
    tests/pcsc/*) echo "pcsc/ reader/ tests/support/ tests/pcsc/" ;;
    tests/ui/*) echo "reader/ ui/ tests/support/ tests/ui/" ;;
    tests/app/* | tests/e2e/*) echo "reader/ ui/ panels/ app/ tests/" ;;
    tests/*/*)
        local family="${file#tests/}"
        family="${family%%/*}"
        echo "reader/ ui/ panels/${family}/ tests/support/ tests/${family}/"
        ;;
    *) echo "*" ;;
    esac
}

status=0
while IFS= read -r -d '' file; do
    file="${file#./}"
    allowed="$(allowed_for "$file")"
    while IFS= read -r line; do
        number="${line%%:*}"
        target="${line#*:}"
        target="${target#*\"}"
        target="${target%%\"*}"
        if [[ "$target" != */* ]]; then
            echo "$file:$number: include \"$target\" does not name its folder"
            status=1
            continue
        fi
        [ "$allowed" = "*" ] && continue
        ok=0
        for prefix in $allowed; do
            if [[ "$target" == "$prefix"* ]]; then
                ok=1
                break
            fi
        done
        if ((!ok)); then
            echo "$file:$number: \"$target\" is not for this layer (allowed: $allowed)"
            status=1
        fi
    done < <(grep -n -E '^[[:space:]]*#[[:space:]]*include[[:space:]]+"' "$file")
done < <(find . \( -path ./.git -o -path './build*' -o -path ./stage \) -prune -o \
    -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.c' \) -print0)

if ((status == 0)); then
    echo "layers: every include keeps to its layer"
fi
exit "$status"
