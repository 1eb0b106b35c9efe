#!/usr/bin/env bash
# Prints the prefix of a Qt for 64-bit Windows (MinGW-w64) that the Windows build of Tessary uses,
# of the same version as Debian's Qt, whose moc, rcc and uic it shares. It is the first that is
# there of:
#   1. TESSARY_QT_WINDOWS: a ready prefix, or a .tar.xz of one (unpacked into the cache folder);
#   2. the cache folder, ${XDG_CACHE_HOME:-~/.cache}/tessary/qt-6.4.2-mingw-x86_64;
#   3. ../shared/qt-windows/qt-6.4.2-mingw-x86_64.tar.xz beside the checkout, when its checksum is
#      the one its README gives (unpacked into the cache folder);
#   4. a build from Debian's source of qtbase (about 40 minutes on 2 cores) into the cache folder.
# Progress goes to standard error; only the prefix goes to standard output.
set -euo pipefail
cd "$(dirname "$0")/.."

QT_VERSION=6.4.2
QT_NAME=qt-$QT_VERSION-mingw-x86_64
CACHE_DIR=${XDG_CACHE_HOME:-$HOME/.cache}/tessary
CACHED=$CACHE_DIR/$QT_NAME
SHARED_DIR=../shared/qt-windows

say() { echo "qt-windows: $*" >&2; }

# is_qt_prefix DIR: a Qt of the wanted version for Windows.
is_qt_prefix() {
    [ -f "$1/bin/Qt6Core.dll" ] &&
        grep -qs "set(PACKAGE_VERSION \"$QT_VERSION\")" "$1/lib/cmake/Qt6/Qt6ConfigVersionImpl.cmake"
}

# unpack ARCHIVE: into the cache folder, kept only when it holds the wanted version.
unpack() {
    local staging
    mkdir -p "$CACHE_DIR"
    staging=$(mktemp -d "$CACHE_DIR/unpack-XXXXXX")
    say "unpacking $1"
    tar -xJf "$1" -C "$staging"
    if ! is_qt_prefix "$staging/$QT_NAME"; then
        rm -rf "$staging"
        say "$1 holds no Qt $QT_VERSION for Windows"
        return 1
    fi
    rm -rf "$CACHED"
    mv "$staging/$QT_NAME" "$CACHED"
    rmdir "$staging"
}

# The sha256 that the README beside the archive gives for it.
shared_archive_ok() {
    local archive=$SHARED_DIR/$QT_NAME.tar.xz expected
    [ -f "$archive" ] || return 1
    expected=$(grep -o 'sha256: `[0-9a-f]\{64\}`' "$SHARED_DIR/README.md" | grep -o '[0-9a-f]\{64\}') ||
        return 1
    if ! echo "$expected  $archive" | sha256sum --check --status; then
        say "$archive does not match its checksum; not used"
        return 1
    fi
}

# Debian's qtbase, patched to leave out the tablet support whose header Debian's source lacks,
# cross-built with MinGW-w64 (POSIX threads) and installed into the cache folder.
build_from_source() {
    local work=$CACHE_DIR/build-$QT_NAME sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    say "building Qt $QT_VERSION for Windows from Debian's source in $work (about 40 minutes)"
    if ! grep -rqs -e '^deb-src .*debian.* bookworm ' -e '^Types:.*deb-src' \
        /etc/apt/sources.list /etc/apt/sources.list.d/; then
        # Signed as Debian 12's own entry is, or apt refuses the two.
        echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg]" \
            "http://deb.debian.org/debian bookworm main" |
            "${sudo[@]}" tee /etc/apt/sources.list.d/tessary-deb-src.list >/dev/null
        "${sudo[@]}" apt-get update -qq
    fi
    rm -rf "$work"
    mkdir -p "$work/build"
    (cd "$work" && apt-get source -qq "qt6-base=$(dpkg-query -W -f='${Version}' qt6-base-dev)")
    local source
    source=$(echo "$work"/qt6-base-$QT_VERSION*/)
    [ -f "$source/configure" ] || { say "no qtbase $QT_VERSION source in $work"; return 1; }
    patch -d "$source" -p1 --quiet <dist/windows/qtbase-$QT_VERSION-no-wintab.patch
    cp dist/windows/mingw-w64-x86_64.cmake "$work/build/"
    (cd "$work/build" && "$source/configure" -prefix "$CACHED.new" -release \
        -xplatform win32-g++ -qt-host-path /usr -nomake examples -nomake tests -no-opengl \
        -no-dbus -no-feature-sql -no-feature-printsupport -no-feature-concurrent \
        -no-feature-xml -qt-zlib -qt-pcre -qt-libpng -qt-libjpeg -qt-harfbuzz -qt-freetype \
        -no-openssl -schannel -- -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$work/build/mingw-w64-x86_64.cmake" \
        -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake) >&2
    cmake --build "$work/build" >&2
    cmake --install "$work/build" >&2
    # The prefix's toolchain file names this one: keep it inside the prefix.
    cp dist/windows/mingw-w64-x86_64.cmake "$CACHED.new/"
    sed -i "s|$work/build/mingw-w64-x86_64.cmake|\${CMAKE_CURRENT_LIST_DIR}/../../../mingw-w64-x86_64.cmake|" \
        "$CACHED.new/lib/cmake/Qt6/qt.toolchain.cmake"
    rm -rf "$CACHED"
    mv "$CACHED.new" "$CACHED"
    rm -rf "$work"
}

if [ -n "${TESSARY_QT_WINDOWS:-}" ]; then
    if [ -d "$TESSARY_QT_WINDOWS" ] && is_qt_prefix "$TESSARY_QT_WINDOWS"; then
        echo "$(cd "$TESSARY_QT_WINDOWS" && pwd)"
        exit 0
    elif [ -f "$TESSARY_QT_WINDOWS" ] && unpack "$TESSARY_QT_WINDOWS"; then
        echo "$CACHED"
        exit 0
    fi
    say "TESSARY_QT_WINDOWS=$TESSARY_QT_WINDOWS is no Qt $QT_VERSION for Windows"
    exit 1
fi
if is_qt_prefix "$CACHED"; then
    echo "$CACHED"
elif shared_archive_ok && unpack "$SHARED_DIR/$QT_NAME.tar.xz"; then
    echo "$CACHED"
else
    build_from_source
    is_qt_prefix "$CACHED" && echo "$CACHED"
fi
