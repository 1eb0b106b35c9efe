#!/usr/bin/env bash
# Takes a screenshot of Tessary's main window on the demo collection under a virtual X server:
#   scripts/screenshot.sh OUTPUT.png [xdotool commands run before the shot, as one string]
# Example: scripts/screenshot.sh /tmp/gen.png "mousemove 588 40 click 1 sleep 0.4 key Down Return"
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh

output=${1:?usage: scripts/screenshot.sh OUTPUT.png [xdotool commands]}
actions=${2:-}
install_packages "${TESSARY_DEMO_PACKAGES[@]}" xvfb xauth x11-utils xdotool imagemagick
configure_tessary build
cmake --build build --target demo

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1024x768x24 >/dev/null 2>&1 &
xvfb_pid=$!
trap 'kill "$tessary_pid" "$xvfb_pid" 2>/dev/null || true' EXIT
export DISPLAY=$display
sleep 1
build/src/tessary >/dev/null 2>&1 &
tessary_pid=$!
xdotool search --sync --name "Tessary 2.1" >/dev/null
sleep 1
# shellcheck disable=SC2086 # the actions are xdotool words
[ -z "$actions" ] || xdotool $actions
sleep 0.5
import -window root -crop 736x590+0+0 "$output"
echo "Wrote $output"
