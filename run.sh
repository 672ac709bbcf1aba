#!/usr/bin/env bash
# Builds Quorvel and starts it on the example strat.
set -euo pipefail
source "$(dirname "$0")/scripts/common.sh"
quorvel_install_packages
quorvel_build "$quorvel_root/build"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "There is no display to show Quorvel on. Try: xvfb-run ./run.sh" >&2
    exit 1
fi
example="$quorvel_root/build/bin/Strats/Examples/example.qvl"
if [ -f "$example" ]; then
    exec "$quorvel_root/build/bin/quorvel" "$example"
fi
exec "$quorvel_root/build/bin/quorvel"
