#!/usr/bin/env bash
# The picture of the Windows Tessary for the user's guide: its zip (from `scripts/run-tests.sh
# windows`) unpacked into a fresh folder with a fresh Wine prefix, the demo collection made
# beside tessary.exe (its Tessary.ini names the demo systems, each with the stand-in tool as a
# Windows program), and tessary.exe started with Qt's windows platform under a virtual X server.
# Go runs "rename" on the Genesis system; the shot is taken while the output streams, then Stop
# must end the tool.
#   scripts/screenshot-windows.sh [OUTPUT.png]      default docs/images/windows-run.png
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh

output=${1:-docs/images/windows-run.png}
build=$PWD/build-windows
zip=$build/Tessary-2.1-windows-x86_64.zip
[ -f "$zip" ] || { echo "no $zip: run scripts/run-tests.sh windows first" >&2; exit 1; }
install_packages xvfb xauth x11-utils xdotool imagemagick wine wine64

work=$(mktemp -d)
display=:$((90 + RANDOM % 100))
xvfb_pid=""
export WINEPREFIX=$work/wine-prefix WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
trap 'wineserver -k 2>/dev/null || true; kill $xvfb_pid 2>/dev/null || true; rm -rf "$work"' EXIT
(cd "$work" && cmake -E tar xf "$zip")
app=$work/Tessary-2.1-windows-x86_64
# The stand-in tool is a Qt program: it finds Qt's DLLs in tessary's folder. A real GoodTool
# needs none. Each file takes it a while, so that there is a run to see and to stop.
export WINEPATH="Z:$app" GOODTOOL_PACE_MS=1500
wineboot -i && wineserver -w
wine64() { /usr/lib/wine/wine64 "$@"; }
wine64 "$build/tools/demo/make-demo.exe" "Z:$app" "Z:$build/tools/goodtool/goodtool.exe" >/dev/null

Xvfb "$display" -screen 0 1024x768x24 >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=$display
sleep 1
wine64 "$app/tessary.exe" >/dev/null 2>&1 &
window=$(xdotool search --sync --name "Tessary 2.1" | head -1)
sleep 4
# The selector's next system (Gen), "rename", Go; the places are the window's own.
xdotool mousemove --window "$window" 589 37 click 1 sleep 0.8 key Down sleep 0.3 key Return \
    sleep 0.8 mousemove --window "$window" 467 73 click 1 sleep 0.5 \
    mousemove --window "$window" 676 289 click 1 sleep 6
pgrep -f "$(basename "$work").*GoodGen.exe" >/dev/null || { echo "the tool is not running" >&2; exit 1; }
eval "$(xdotool getwindowgeometry --shell "$window")"
import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$output"
xdotool mousemove --window "$window" 676 289 click 1 sleep 2 # Stop
if pgrep -f "$(basename "$work").*GoodGen.exe" >/dev/null; then
    echo "Stop left the tool running" >&2
    exit 1
fi
echo "Wrote $output; Stop ended the tool"
