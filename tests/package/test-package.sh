#!/usr/bin/env bash
# Unpacks the Debian package into a temporary root, as dpkg would lay it out, and starts the
# unpacked program headless with its settings in a temporary configuration folder: it must read
# them from there (an installed program never writes beside itself) and offer the system they
# name. Skipped (77) when the package has not been made: cpack -G DEB in the build folder.
#   test-package.sh BUILD_FOLDER
set -euo pipefail
build=${1:?usage: test-package.sh BUILD_FOLDER}
shopt -s nullglob
packages=("$build"/tessary_*.deb)
if [ ${#packages[@]} -eq 0 ]; then
    echo "no package in $build: run cpack -G DEB there first"
    exit 77
fi

scratch=$(mktemp -d)
trap 'kill "$tessary" 2>/dev/null || true; rm -rf "$scratch"' EXIT
tessary=""
dpkg-deb -x "${packages[0]}" "$scratch/root"

export XDG_CONFIG_HOME=$scratch/config
mkdir -p "$XDG_CONFIG_HOME/Tessary" "$scratch/roms" "$scratch/tools"
: >"$scratch/tools/GoodGen.exe"
cat >"$XDG_CONFIG_HOME/Tessary/Tessary.ini" <<INI
Good*.exe Directory=$scratch/tools/
Same as Rom Path=false
Check Version At Startup=false
Load Summary At Startup=false

[Gen=Sega Genesis
Rom Path=$scratch/roms/
File Name=GoodGen.exe

INI

log=$scratch/tessary.log
QT_QPA_PLATFORM=offscreen QT_LOGGING_RULES="tessary.settings.info=true" \
    "$scratch/root/usr/bin/tessary" >"$log" 2>&1 &
tessary=$!
for _ in $(seq 100); do
    grep -q "offered" "$log" && break
    kill -0 "$tessary" 2>/dev/null || break
    sleep 0.1
done
sleep 0.2
cat "$log"

fail() {
    echo "FAIL: $*"
    exit 1
}
kill -0 "$tessary" 2>/dev/null || fail "the unpacked program did not keep running"
grep -qF "reading $XDG_CONFIG_HOME/Tessary/Tessary.ini" "$log" ||
    fail "the settings were not read from the configuration folder"
grep -qF "[Gen offered" "$log" || fail "the configured system was not offered"
[ ! -e "$scratch/root/usr/bin/Tessary.ini" ] || fail "a settings file appeared beside the program"
[ -f "$scratch/root/usr/share/tessary/help.htm" ] || fail "help.htm is not installed"
echo "PASS: the unpacked package starts and offers the configured system"
