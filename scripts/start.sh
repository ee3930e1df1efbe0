#!/usr/bin/env bash
# Sets everything up and starts T7Demo on the simulated reader.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/setup.sh"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: starting T7Demo on a virtual X display (Xvfb)."
  exec xvfb-run -a -s "-screen 0 1600x1000x24" "$root/stage/bin/T7Demo" "$@"
fi
exec "$root/stage/bin/T7Demo" "$@"
