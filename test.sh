#!/usr/bin/env bash
# Builds Quorvel and runs every test.
set -euo pipefail
source "$(dirname "$0")/scripts/common.sh"
quorvel_install_packages
quorvel_build "$quorvel_root/build"
cd "$quorvel_root/build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure --parallel "$(nproc)" "$@"
