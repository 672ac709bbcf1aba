#!/usr/bin/env bash
# Builds the program (not the tests or benchmarks) and starts it on the example strat.
set -euo pipefail
source "$(dirname "$0")/scripts/common.sh"
quorvel_install_packages
quorvel_build_program "$quorvel_root/build"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "There is no display to show Quorvel on. Try: xvfb-run ./run.sh" >&2
    exit 1
fi
example="$quorvel_root/build/bin/Strats/Examples/example.qvl"
# On the first run Quorvel's welcome question offers the example itself; afterwards it is
# opened here. "Vez" is the first-run mark in Quorvel's settings.
settings="${XDG_CONFIG_HOME:-$HOME/.config}/Quorvel/Quorvel.conf"
if [ -f "$example" ] && grep -qs '^Vez=1' "$settings"; then
    exec "$quorvel_root/build/bin/quorvel" "$example"
fi
exec "$quorvel_root/build/bin/quorvel"
