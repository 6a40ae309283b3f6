#!/usr/bin/env bash
# The window for Windows: when a Qt for Windows is found (scripts/windows-qt.sh: the cached
# one, or ../shared/qt6-mingw-6.4.2.tar.xz unpacked), builds vocabrella.exe and the window's
# tests with mingw-w64 and runs them under Wine on a virtual X server (Xvfb); runs the tests of
# Dragon's controls on Windows; starts vocabrella.exe on a sample command file and checks that
# its window shows, keeping a screenshot; and makes the packages with CPack. Without a Qt for
# Windows it says so and builds only the rest.
#
#   scripts/test-windows-gui.sh        (after scripts/test-windows.sh, which builds the rest)
#
# Needs mingw-w64, wine, xvfb, xauth, x11-utils and imagemagick (the screenshot); nsis for the
# installer.
set -euo pipefail
cd "$(dirname "$0")/.."

# Everything below runs on one virtual X server of its own: Wine gives a program windows only on
# the display its server started with, so every Wine program of this script must share one.
if [ -z "${VOCABRELLA_ON_XVFB:-}" ]; then
    VOCABRELLA_ON_XVFB=1 exec xvfb-run -a -s "-screen 0 1280x800x24" "$0" "$@"
fi

build=${WINDOWS_BUILD_DIR:-build-win}
jobs=${JOBS:-$(nproc)}
# No debug information by default: the cross build compiles and links quicker without it.
build_type=${WINDOWS_BUILD_TYPE:-Release}
export VOCABRELLA_DEPS=${VOCABRELLA_DEPS:-$PWD/build-deps}
samples=${SAMPLES_DIR:-$PWD/../shared/samples}

qt=
if qt=$(./scripts/windows-qt.sh); then
    echo "== Qt for Windows: $qt"
    gui=(-DVOCABRELLA_BUILD_GUI=ON -DCMAKE_PREFIX_PATH="$qt" -DQT_HOST_PATH=/usr
         -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake)
else
    echo "== NO Qt for Windows found (no ../shared/qt6-mingw-6.4.2.tar.xz, nothing cached in" \
         "$VOCABRELLA_DEPS/qt6-mingw): vocabrella.exe and the window's tests are NOT built or run" \
         "for Windows. scripts/windows-qt.sh --build makes one from Debian's source."
    gui=(-DVOCABRELLA_BUILD_GUI=OFF)
fi

cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
    -DCMAKE_BUILD_TYPE="$build_type" -DVOCABRELLA_DEPS="$VOCABRELLA_DEPS" "${gui[@]}" >/dev/null
targets=(vocabrella-cli windows_platform_tests)
if [ -n "$qt" ]; then
    targets+=(vocabrella $(cmake --build "$build" --target help | sed -n -E 's/^(gui_[A-Za-z]+Test): .*/\1/p'))
fi
cmake --build "$build" -j "$jobs" --target "${targets[@]}"

wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=$(command -v wine64 || command -v wine)
wineserver=${wine%64}server
[ -x "$wineserver" ] || wineserver=$(command -v wineserver)
export WINEDEBUG=-all
export WINEPREFIX=$PWD/$build/wineprefix
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
mkdir -p "$build/test-results"
# A Wine server still running from a run without a display (scripts/test-windows.sh) would
# refuse every window of the programs that join it: it is ended first.
"$wineserver" -k 2>/dev/null || true
"$wine" cmd /c exit >/dev/null 2>&1 || true # makes the prefix on the first run
status=0

echo "== Dragon's controls (fake controls in the test process) and the desktop under Wine on Xvfb"
if ! "$wine" "$build/tests/windows/windows_platform_tests.exe" --gtest_brief=1 \
        --gtest_output="xml:$build/test-results/windows_platform_tests.xml" \
        >"$build/test-results/windows_platform_tests.log" 2>&1; then
    status=1
fi
grep -E '^\[  (PASSED|SKIPPED|FAILED) ' "$build/test-results/windows_platform_tests.log" ||
    tail -n 20 "$build/test-results/windows_platform_tests.log"

if [ -n "$qt" ]; then
    # The window's tests under Wine decide the run like every other test. Wine's timing under a
    # loaded machine is not Linux's, so a test that fails is run up to twice more before it counts
    # as failed. A test function that hangs ends after GUI_TEST_SECONDS rather than Qt Test's five
    # minutes.
    echo "== the window's tests under Wine on Xvfb"
    if ! QTEST_FUNCTION_TIMEOUT=$(( ${GUI_TEST_SECONDS:-90} * 1000 )) ctest --test-dir "$build" -R '^gui_' \
            --output-on-failure --repeat until-pass:3 -j "$jobs" >"$build/test-results/gui.log" 2>&1; then
        status=1
    fi
    grep -E 'tests passed|tests failed|Passed|\*\*\*Failed|\*\*\*Timeout|Not Run' "$build/test-results/gui.log" ||
        tail -n 30 "$build/test-results/gui.log"
    # What failed, retried or not, in Qt Test's own words.
    grep -E -A1 '^(FAIL!|QFATAL|XPASS)' "$build/test-results/gui.log" | head -n 40 || true

    echo "== vocabrella.exe started under Wine on a sample file"
    if ! ./scripts/windows-screenshot.sh "$build" "$samples/move-dock-window.dat" \
            "$build/test-results/windows-wine.png"; then
        status=1
    fi
fi

echo "== packages for Windows"
if (cd "$build" && cpack >"test-results/cpack.log" 2>&1); then
    ls -1 "$build"/vocabrella-*-win64.* 2>/dev/null | sed 's/^/made /'
    command -v makensis >/dev/null || echo "makensis is not installed (Debian: nsis): no installer made"
else
    tail -n 20 "$build/test-results/cpack.log"
    status=1
fi
exit "$status"
