#!/usr/bin/env bash
# Installs what Tessary needs on Debian 12, builds it and runs every test, headless.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh

install_packages
build_tessary build
QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure --timeout 600
