#!/usr/bin/env bash
# Builds the core library, the command line, the tools and the unit tests for Windows with
# mingw-w64 and runs the tests under Wine; then compares the Windows command line's output with
# the Linux build's on every sample, when a Linux build is there.
#
#   scripts/test-windows.sh            (after scripts/test.sh, or with LINUX_BUILD_DIR set)
#
# Needs mingw-w64 and wine (Debian: apt-get install mingw-w64 wine wine64), and what
# scripts/windows-deps.sh needs. The libraries for Windows are built once into
# $VOCABRELLA_DEPS (default build-deps/); the Wine prefix lives in the build folder.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${WINDOWS_BUILD_DIR:-build-win}
linux_build=${LINUX_BUILD_DIR:-build}
jobs=${JOBS:-$(nproc)}
# No debug information by default: the cross build compiles and links quicker without it.
build_type=${WINDOWS_BUILD_TYPE:-Release}
export VOCABRELLA_DEPS=${VOCABRELLA_DEPS:-$PWD/build-deps}

# Exit status 3: the libraries could not be had (their sources unreachable, say), so nothing
# was built for Windows; the caller decides whether that fails its run.
if ! ./scripts/windows-deps.sh; then
    echo "== the libraries for Windows could not be built (see above): nothing built or tested for Windows"
    exit 3
fi

cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
    -DCMAKE_BUILD_TYPE="$build_type" -DVOCABRELLA_DEPS="$VOCABRELLA_DEPS" >/dev/null
cmake --build "$build" -j "$jobs" --target vocabrella-cli mergemycmds dragonsim unit_tests builder_tests

wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=$(command -v wine64 || command -v wine)
export WINE=$wine
export WINEDEBUG=-all
export WINEPREFIX=$PWD/$build/wineprefix
# No desktop and no dialogs: the tests need neither a display nor Wine's installers.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset DISPLAY
"$wine" cmd /c exit >/dev/null 2>&1 || true # makes the prefix on the first run
mkdir -p "$build/test-results"

status=0
for test in "$build/tests/support/builder_tests.exe" "$build/tests/unit_tests.exe"; do
    name=$(basename "$test" .exe)
    echo "== $name under Wine"
    if ! "$wine" "$test" --gtest_brief=1 --gtest_output="xml:$build/test-results/$name.xml" \
        >"$build/test-results/$name.log" 2>&1; then
        status=1
    fi
    grep -E '^\[  (PASSED|SKIPPED|FAILED) ' "$build/test-results/$name.log" || tail -n 20 "$build/test-results/$name.log"
    grep -E '^\[  FAILED  \] [A-Za-z]' "$build/test-results/$name.log" || true
done

# Every skipped test with its reason.
python3 - "$build/test-results/unit_tests.xml" <<'EOF' || true
import sys, xml.etree.ElementTree as ET
root = ET.parse(sys.argv[1]).getroot()
for case in root.iter("testcase"):
    skipped = case.find("skipped")
    if skipped is not None:
        reason = (skipped.get("message") or "").strip().splitlines()
        print(f"skipped on Windows: {case.get('classname')}.{case.get('name')}: {reason[-1] if reason else ''}")
EOF

if [ -x "$linux_build/src/app/vocabrella-cli" ]; then
    echo "== the Windows command line against the Linux one"
    ./scripts/compare-windows-output.sh "$linux_build/src/app/vocabrella-cli" "$build/src/app/vocabrella-cli.exe" || status=1
else
    echo "== no Linux build in $linux_build: the output comparison did not run"
fi
exit "$status"
