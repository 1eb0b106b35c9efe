#!/usr/bin/env bash
# Installs what Tessary needs on Debian 12, builds it, lays out the demo collection beside the
# program (keeping any Tessary.ini already there) and starts Tessary on it.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh

install_packages
build_tessary build
cmake --build build --target demo
exec build/src/tessary
