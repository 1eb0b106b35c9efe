#!/usr/bin/env bash
# Takes the pictures of the docs under a virtual X server, on the demo collection.
#   scripts/screenshot.sh                      the main window and every window its menus open,
#                                              into docs/images/
#   scripts/screenshot.sh --scale 2 FOLDER     the same at QT_SCALE_FACTOR=2, into FOLDER
#   scripts/screenshot.sh --shot OUTPUT.png [xdotool commands, as one string]
#                                              one shot of the screen after the commands, e.g.
#   scripts/screenshot.sh --shot /tmp/gen.png "mousemove 588 40 click 1 sleep 0.4 key Down Return"
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh

mode=tour scale=1 folder=docs/images output="" actions=""
case ${1:-} in
--scale) scale=${2:?usage: scripts/screenshot.sh --scale FACTOR FOLDER}; folder=${3:?FOLDER} ;;
--shot) mode=shot output=${2:?usage: scripts/screenshot.sh --shot OUTPUT.png [xdotool commands]}
    actions=${3:-} ;;
"") ;;
*) echo "usage: scripts/screenshot.sh [--scale FACTOR FOLDER | --shot OUTPUT.png [ACTIONS]]" >&2
    exit 2 ;;
esac

install_packages "${TESSARY_DEMO_PACKAGES[@]}" xvfb xauth x11-utils xdotool imagemagick
configure_tessary normal
cmake --build build --target demo take-screenshots

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1600x1200x24 >/dev/null 2>&1 &
xvfb_pid=$!
tessary_pid=""
trap 'kill $tessary_pid "$xvfb_pid" 2>/dev/null || true' EXIT
export DISPLAY=$display
sleep 1

if [ "$mode" = tour ]; then
    mkdir -p "$folder"
    QT_SCALE_FACTOR=$scale build/src/take-screenshots "$folder"
    exit
fi

build/src/tessary >/dev/null 2>&1 &
tessary_pid=$!
xdotool search --sync --name "Tessary 2.1" >/dev/null
sleep 1
# shellcheck disable=SC2086 # the actions are xdotool words
[ -z "$actions" ] || xdotool $actions
sleep 0.5
import -window root -crop 736x590+0+0 "$output"
echo "Wrote $output"
