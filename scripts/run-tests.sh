#!/usr/bin/env bash
# Installs what Tessary needs on Debian 12, checks the layout of the sources, then builds and runs
# every test headless, three times:
# a normal build (build/), AddressSanitizer + UndefinedBehaviorSanitizer (build-asan/) and
# ThreadSanitizer (build-tsan/); then a fourth build (build-fuzz/) runs each fuzz target for a
# short fixed time, and a fifth (build-windows/) cross-builds Tessary for Windows, packs its zip
# and runs its tests under Wine. Name builds to run only those: scripts/run-tests.sh asan fuzz
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh

builds=("$@")
[ ${#builds[@]} -gt 0 ] || builds=(normal asan tsan fuzz windows)
for build in "${builds[@]}"; do
    case $build in
    normal | asan | tsan | fuzz | windows) ;;
    *) echo "usage: scripts/run-tests.sh [normal] [asan] [tsan] [fuzz] [windows]" >&2; exit 2 ;;
    esac
done

install_packages "${TESSARY_TEST_PACKAGES[@]}"
check_format
for build in "${builds[@]}"; do
    run_test_build "$build"
done
