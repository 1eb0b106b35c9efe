# Shared by run-demo.sh and run-tests.sh: install the build tools on Debian 12 and build Tessary.

# The demo needs a compiler, CMake and Qt: its tools are native programs.
TESSARY_DEMO_PACKAGES=(qt6-base-dev cmake ninja-build g++)
# The tests need more: wine runs the Windows tools, and the MinGW cross compiler builds the
# stand-in Windows tool for the test that runs one through wine (the wine64 loader alone puts no
# "wine" on the path); clang-format checks the layout of the sources; dpkg-dev and file make the
# Debian package, which lintian, desktop-file-validate and appstreamcli check; Clang and its
# runtime libraries build the fuzz targets with libFuzzer.
# The Windows build adds the MinGW C++ cross compiler with POSIX threads (as its Qt was built with),
# xz-utils for that Qt's archive, dpkg-dev and patch to build it from Debian's source when there is
# no archive, Xvfb for the Windows program's screenshot, and DejaVu, the fonts its tests measure
# texts with.
TESSARY_TEST_PACKAGES=("${TESSARY_DEMO_PACKAGES[@]}" wine wine64 gcc-mingw-w64-x86-64 clang-format
    dpkg-dev file lintian desktop-file-utils appstream clang-14 libclang-rt-14-dev
    g++-mingw-w64-x86-64-posix xz-utils patch xvfb fonts-dejavu-core clazy)

# install_packages PACKAGE...
# Installs only what is missing, so a second run needs neither the network nor root.
install_packages() {
    local missing=()
    for package in "$@"; do
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

# Every C and C++ file of the checkout must be laid out as .clang-format says: a file that is not
# fails the run and is named, with the first lines that differ.
check_format() {
    echo "== format check"
    git ls-files -z '*.c' '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror
}

# The Qt linter, levels 0 and 1, over every source of src/ as the normal build compiles it: any
# warning fails the run. Turned off, each for its reason:
# - connect-by-name: the windows' on_<object>_<signal> slots are connected by object name on
#   purpose; those object names and slot names are what users' scripts and the tests rely on.
TESSARY_CLAZY_CHECKS=level0,level1,no-connect-by-name
check_clazy() {
    local build_dir=$1 report
    echo "== clazy ($TESSARY_CLAZY_CHECKS)"
    # GCC compiles C++17 without being told; Clang's front end, which clazy is, must be told.
    report=$(git ls-files -z 'src/*.cpp' | CLAZY_CHECKS=$TESSARY_CLAZY_CHECKS \
        xargs -0 clazy-standalone -p "$build_dir" --extra-arg=-std=gnu++17 2>&1) || true
    if grep -E 'warning:|error:' <<<"$report"; then
        echo "clazy found the above"
        return 1
    fi
}

# configure_tessary PRESET [CMAKE OPTIONS...]
# Configures one of the builds CMakePresets.json names (normal, asan, tsan, fuzz, windows) in its
# folder: build/ for the normal one, build-PRESET/ for the others.
configure_tessary() {
    cmake --preset "$@"
}

# The Debian package and the portable folder, with the checks of their own ecosystems: the
# launcher, the AppStream metainfo, and lintian, which fails on any error.
package_tessary() {
    local build_dir=$1
    echo "== packaging in $build_dir"
    (cd "$build_dir" && cpack -G DEB)
    cmake --build "$build_dir" --target portable
    desktop-file-validate dist/linux/org.example.Tessary.desktop
    appstreamcli validate --no-net "$build_dir"/dist/linux/org.example.Tessary.metainfo.xml
    lintian --fail-on error "$build_dir"/tessary_*.deb
}

# The Windows build: Tessary, its tools and tests cross-built with MinGW-w64 against a Qt for
# Windows (see qt-windows.sh), then the zip with its DLL check; the tests then run under Wine in a
# prefix of their own, made by the tests' first fixture.
build_windows() {
    local build_dir=$1 qt
    qt=$(bash scripts/qt-windows.sh)
    configure_tessary windows -DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake"
    cmake --build "$build_dir"
    cmake --build "$build_dir" --target windows-zip
}

# Builds one of the test builds (normal, asan, tsan, fuzz or windows) in its own folder and runs its
# tests.
# The fuzz build holds only the core and its fuzz targets, built with Clang and run for a short
# fixed time each.
# Sanitizer reports go to files, because a tool that Tessary starts has its standard error
# discarded: a report from the substitute tool would otherwise pass unseen. Any report fails.
# Qt itself is not built with ThreadSanitizer, so its locks are invisible to it: accesses made by
# Qt's own code are left out (ignore_noninstrumented_modules) and every access our code makes is
# still checked. QProcess forks while Qt's threads run, which ThreadSanitizer only allows with
# die_after_fork=0; the child execs the tool at once.
run_test_build() {
    local name=$1 build_dir=build-$1
    [ "$name" != normal ] || build_dir=build
    local started=$SECONDS
    echo "== $name build in $build_dir"
    # The benchmarks are built once, in the normal build: they are run by hand, never under test.
    if [ "$name" = windows ]; then
        build_windows "$build_dir"
    else
        configure_tessary "$name"
    fi
    [ "$name" = windows ] || cmake --build "$build_dir"
    # The package is made once, in the normal build; a test there unpacks and starts it.
    if [ "$name" = normal ]; then
        package_tessary "$build_dir"
        check_clazy "$build_dir"
    fi

    local reports=$PWD/$build_dir/sanitizer-reports
    local suppressions=$PWD/tests/sanitizers
    rm -rf "$reports"
    mkdir -p "$reports"
    local status=0
    # Each fuzz target runs alone on one core for a fixed time: two at once halve the wait.
    local jobs=1
    [ "$name" != fuzz ] || jobs=2
    local tsan_options=halt_on_error=1:second_deadlock_stack=1
    tsan_options+=:ignore_noninstrumented_modules=1:die_after_fork=0
    ASAN_OPTIONS="halt_on_error=1:detect_leaks=1:log_path=$reports/asan" \
        LSAN_OPTIONS="suppressions=$suppressions/lsan.supp:print_suppressions=0" \
        UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:log_path=$reports/ubsan" \
        TSAN_OPTIONS="$tsan_options:log_path=$reports/tsan:suppressions=$suppressions/tsan.supp" \
        QT_QPA_PLATFORM=offscreen \
        ctest --test-dir "$build_dir" --output-on-failure --timeout 600 -j "$jobs" || status=$?

    if compgen -G "$reports/*" >/dev/null; then
        echo "== $name: sanitizer reports"
        cat "$reports"/*
        status=1
    fi
    echo "== $name build and tests took $((SECONDS - started)) s"
    return $status
}
