#!/usr/bin/env bash
# Builds everything and runs every test; with clang present, also a short fuzzing run.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$(nproc)"
ctest --test-dir "$build" --output-on-failure -j "$(nproc)"

# The suite again under the address and undefined-behaviour sanitizers, warnings as errors, leaks
# reported. By default the unit and command-line tests; SANITIZE=all runs the window's tests
# under them too (about half an hour more of building on a two-core machine), SANITIZE=0 leaves
# the run out. The package test never runs there: it installs the normal build.
sanitize=${SANITIZE:-1}
if [ "$sanitize" != 0 ]; then
  asan=${SANITIZE_BUILD_DIR:-build-sanitize}
  gui=OFF
  [ "$sanitize" = all ] && gui=ON
  cmake -S . -B "$asan" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVOCABRELLA_SANITIZE=ON -DVOCABRELLA_WERROR=ON \
    -DVOCABRELLA_BUILD_BENCH=OFF -DVOCABRELLA_BUILD_GUI="$gui" >/dev/null
  cmake --build "$asan" -j "$(nproc)"
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 LSAN_OPTIONS=suppressions=$PWD/tests/sanitizers/lsan.supp \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir "$asan" --output-on-failure -j "$(nproc)" --timeout 900
fi

if command -v clang++ >/dev/null 2>&1; then
  fuzz=${FUZZ_BUILD_DIR:-build-fuzz}
  CC=clang CXX=clang++ cmake -S . -B "$fuzz" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVOCABRELLA_BUILD_FUZZ=ON -DVOCABRELLA_BUILD_TESTS=ON -DVOCABRELLA_BUILD_BENCH=OFF >/dev/null
  cmake --build "$fuzz" -j "$(nproc)" --target fuzz_reader
  "$fuzz/tests/fuzz/fuzz_reader" -max_total_time="${FUZZ_SECONDS:-60}" -rss_limit_mb=2048 \
    "$fuzz/tests/fuzz/corpus" ../shared/samples 2>&1 | tail -n 5
fi
