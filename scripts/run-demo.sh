#!/usr/bin/env bash
# Installs what the demo needs on Debian 12 (a compiler, CMake and Qt), builds Tessary, lays out
# the demo collection beside the program (keeping any Tessary.ini already there) and starts
# Tessary on it.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh

install_packages "${TESSARY_DEMO_PACKAGES[@]}"
configure_tessary normal
# Only what the demo needs: the program, the stand-in tool and the demo collection.
cmake --build build --target demo
exec build/src/tessary
