# Shared by run-demo.sh and run-tests.sh: install the build tools on Debian 12 and build Tessary.

# wine runs the Windows tools; the MinGW cross compiler builds the stand-in Windows tool for
# the test that runs one through wine (the wine64 loader alone puts no "wine" on the path).
TESSARY_PACKAGES=(qt6-base-dev cmake ninja-build g++ wine wine64 gcc-mingw-w64-x86-64)

# Installs only what is missing, so a second run needs neither the network nor root.
install_packages() {
    local missing=()
    for package in "${TESSARY_PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' \
            || missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0

    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    echo "Installing ${missing[*]}"
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
        "${missing[@]}"
}

build_tessary() {
    local build_dir=$1
    cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
    cmake --build "$build_dir"
}
