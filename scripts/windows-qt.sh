#!/usr/bin/env bash
# Finds or makes a Qt for Windows (Qt base 6.4.2 built with mingw-w64) for the window's Windows
# build, and prints its folder (for CMAKE_PREFIX_PATH) on standard output.
#
#   scripts/windows-qt.sh            the cached Qt, else the archive unpacked, else exit 2
#   scripts/windows-qt.sh --build    as above, but builds Qt from Debian's qt6-base source
#                                    when there is no archive (about an hour on two cores)
#
# The Qt lives in $VOCABRELLA_DEPS/qt6-mingw (default build-deps/qt6-mingw here) and is reused
# from there. The archive is $VOCABRELLA_QT_ARCHIVE, default ../shared/qt6-mingw-6.4.2.tar.xz
# beside the source tree; it holds one folder qt6-mingw/.
#
# Building needs what building any Qt needs, plus the host tools of the same version:
# qt6-base-dev-tools 6.4.2 (QT_HOST_PATH=/usr). The source comes through a private apt
# configuration made from this machine's own package sources, as in scripts/windows-deps.sh.
# Debian's source lacks wintab, so tablet events are off; OpenGL, SQL, network and D-Bus are
# not needed by the window and are left out.
set -euo pipefail
cd "$(dirname "$0")/.."

build=no
[ "${1:-}" = --build ] && build=yes

deps=${VOCABRELLA_DEPS:-$PWD/build-deps}
mkdir -p "$deps"
deps=$(cd "$deps" && pwd)
qt=$deps/qt6-mingw
archive=${VOCABRELLA_QT_ARCHIVE:-$PWD/../shared/qt6-mingw-6.4.2.tar.xz}
jobs=${JOBS:-2}

say() { printf 'windows-qt: %s\n' "$*" >&2; }
ready() { [ -f "$qt/lib/cmake/Qt6/Qt6Config.cmake" ] && [ -f "$qt/plugins/platforms/qwindows.dll" ]; }

if ready; then
    echo "$qt"
    exit 0
fi

if [ -f "$archive" ]; then
    say "unpacking $(basename "$archive")"
    rm -rf "$qt" "$deps/qt6-mingw.partial"
    mkdir -p "$deps/qt6-mingw.partial"
    tar -xJf "$archive" -C "$deps/qt6-mingw.partial"
    mv "$deps/qt6-mingw.partial/qt6-mingw" "$qt"
    rm -rf "$deps/qt6-mingw.partial"
    ready || { say "the archive holds no Qt for Windows"; exit 1; }
    echo "$qt"
    exit 0
fi

if [ "$build" != yes ]; then
    say "no Qt for Windows: neither $qt nor $archive (run with --build to build one)"
    exit 2
fi

# --- building from Debian's source -----------------------------------------------------------
host_version=$(dpkg-query -W -f='${Version}' qt6-base-dev-tools 2>/dev/null | sed -E 's/^[0-9]+://; s/[+~-].*//')
[ -n "$host_version" ] || { say "qt6-base-dev-tools is needed for the host tools"; exit 1; }

. scripts/windows-apt.sh
src_dir=$deps/src/qt6-base
if [ ! -f "$src_dir/.unpacked" ]; then
    rm -rf "$src_dir" && mkdir -p "$src_dir"
    # The source of the host tools' own version: the two must agree.
    version=$(source_versions qt6-base | grep -E "^([0-9]+:)?${host_version//./\\.}[+~-]" | head -n 1)
    [ -n "$version" ] || { say "no qt6-base $host_version source in the package sources"; exit 1; }
    say "qt6-base $version"
    fetch_source qt6-base "$version" "$src_dir" || { say "qt6-base $version could not be fetched"; exit 1; }
    touch "$src_dir/.unpacked"
fi
src=$src_dir/tree

# Without OpenGL the Windows plugin still takes the dynamic-GL branch in one file; guard it.
sed -i 's/^#if QT_CONFIG(dynamicgl)$/#if QT_CONFIG(dynamicgl) \&\& QT_CONFIG(opengl)/' \
    "$src/src/plugins/platforms/windows/qwindowswindow.cpp"

work=$deps/work/qt6-base
rm -rf "$work" && mkdir -p "$work"
cat >"$work/toolchain.cmake" <<'TC'
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
TC
[ -x /usr/lib/wine/wine64 ] && echo 'set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)' >>"$work/toolchain.cmake"

say "building Qt for Windows in $work"
cmake -G Ninja -S "$src" -B "$work/build" \
    -DCMAKE_TOOLCHAIN_FILE="$work/toolchain.cmake" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$deps/qt6-mingw.partial" \
    -DBUILD_SHARED_LIBS=ON -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF \
    -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_tabletevent=OFF \
    -DFEATURE_system_pcre2=OFF -DFEATURE_opengl=OFF >&2
cmake --build "$work/build" -j "$jobs" >&2
rm -rf "$deps/qt6-mingw.partial"
cmake --install "$work/build" >&2
rm -rf "$qt"
mv "$deps/qt6-mingw.partial" "$qt"
rm -rf "$work"
ready || { say "the build made no Qt for Windows"; exit 1; }
echo "$qt"
