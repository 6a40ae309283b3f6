#!/usr/bin/env bash
# Prints the share of C++ source lines that clang-format (with .clang-format) would change.
# Nothing is rewritten; the tree is formatted in a copy.
set -euo pipefail
cd "$(dirname "$0")/.."
format=${CLANG_FORMAT:-clang-format-14}
copy=$(mktemp -d)
trap 'rm -rf "$copy"' EXIT
mapfile -t files < <(git ls-files '*.cpp' '*.h')
tar cf - .clang-format "${files[@]}" | tar xf - -C "$copy"
(cd "$copy" && "$format" -i --style=file "${files[@]}")
total=0 changed=0
for f in "${files[@]}"; do
  total=$((total + $(wc -l <"$f")))
  changed=$((changed + $(diff "$f" "$copy/$f" | grep -c '^<' || true)))
done
awk -v c="$changed" -v t="$total" 'BEGIN { printf "%d of %d lines would change (%.2f%%)\n", c, t, 100 * c / t }'
