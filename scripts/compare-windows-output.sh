#!/usr/bin/env bash
# The Windows command line must write the same bytes as the Linux one. Runs rewrite,
# convert-version, export, report (txt and csv), export-xml and import-xml on every sample
# command file with both builds (the Windows one under Wine) and compares every file written,
# the exit statuses and the standard output (with the work folder's name taken out).
#
#   scripts/compare-windows-output.sh LINUX_CLI WINDOWS_CLI_EXE [SAMPLES_DIR]
#
# Exits 1 and names each difference when there is one.
set -uo pipefail
cd "$(dirname "$0")/.."

linux_cli=$(realpath "$1")
windows_cli=$(realpath "$2")
samples=$(realpath "${3:-../shared/samples}")
wine=${WINE:-/usr/lib/wine/wine64}
[ -x "$wine" ] || wine=$(command -v wine64 || command -v wine)
export WINEDEBUG=${WINEDEBUG:--all}
# A new Wine prefix is made before the runs, so that its messages are not taken for output.
"$wine" cmd /c exit >/dev/null 2>&1 || true

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/linux" "$work/windows"

# run SIDE NAME ARGS...: runs one verb in $work/SIDE, where the sample copies and every output
# lie, so that both sides see the same relative paths.
run() {
    local side=$1 name=$2
    shift 2
    local status
    if [ "$side" = linux ]; then
        (cd "$work/$side" && "$linux_cli" "$@" >"$name.out" 2>"$name.err")
    else
        (cd "$work/$side" && "$wine" "$windows_cli" "$@" >"$name.out" 2>"$name.err")
    fi
    status=$?
    echo "$status" >"$work/$side/$name.status"
}

count=0
for sample in "$samples"/*.dat; do
    base=$(basename "$sample" .dat)
    for side in linux windows; do
        d=$work/$side
        cp "$sample" "$d/$base.dat" && chmod u+w "$d/$base.dat"
        cp "$sample" "$d/$base-rewrite.dat" && chmod u+w "$d/$base-rewrite.dat"
        run "$side" "$base-rewrite" rewrite "$base-rewrite.dat"
        for to in 6.0 6.1 7.x 8/9; do
            tag=${to//\//-}
            cp "$sample" "$d/$base-v$tag.dat" && chmod u+w "$d/$base-v$tag.dat"
            run "$side" "$base-v$tag" --yes convert-version "$base-v$tag.dat" --to "$to"
        done
        run "$side" "$base-export" --yes export "$base.dat" --everything --to "$base-exported.dat"
        run "$side" "$base-report-txt" report "$base.dat" --everything --format txt -o "$base-report.txt"
        run "$side" "$base-report-csv" report "$base.dat" --everything --format csv -o "$base-report.csv"
        run "$side" "$base-export-xml" export-xml "$base.dat" --everything -o "$base.xml"
        run "$side" "$base-import-xml" --yes import-xml "$base.xml" -o "$base-imported.dat"
    done
    count=$((count + 1))
done

different=0
for file in "$work"/linux/*; do
    name=$(basename "$file")
    other=$work/windows/$name
    if [ ! -e "$other" ]; then
        echo "only the Linux build wrote $name"
        different=1
        continue
    fi
    case "$name" in
    *.out | *.err)
        # Paths in messages are the same relative ones; an absolute one names the work folder.
        if ! diff -q <(sed "s#$work/linux#WORK#g" "$file") \
                     <(sed -e 's#Z:\\#/#g' -e 's#\\#/#g' "$other" | sed "s#$work/windows#WORK#g") >/dev/null; then
            echo "different output: $name"
            diff <(sed "s#$work/linux#WORK#g" "$file") \
                 <(sed -e 's#Z:\\#/#g' -e 's#\\#/#g' "$other" | sed "s#$work/windows#WORK#g") | head -n 10
            different=1
        fi ;;
    *)
        if ! cmp -s "$file" "$other"; then
            echo "different bytes: $name"
            different=1
        fi ;;
    esac
done
for file in "$work"/windows/*; do
    [ -e "$work/linux/$(basename "$file")" ] || { echo "only the Windows build wrote $(basename "$file")"; different=1; }
done

files=$(find "$work/linux" -type f ! -name '*.out' ! -name '*.err' ! -name '*.status' | wc -l)
if [ "$different" -eq 0 ]; then
    echo "compare-windows-output: $count samples, $files files and every output and status the same on both"
else
    echo "compare-windows-output: the Windows build differs (see above)"
fi
exit "$different"
