#!/usr/bin/env bash
# Draws the dance sheet of every chart of the public corpus (COUPLE charts for both players) and
# checks that each is well-formed XML and small. Prints the largest sheet.
# Usage: sheet_corpus.sh CLI CORPUS_DIR
set -euo pipefail
cli=$1 corpus=$2
limit=$((640 * 1024))
if ! compgen -G "$corpus/*.dwi" >/dev/null; then
  echo "no corpus of DWI files at $corpus"
  exit 77
fi
if ! command -v xmllint >/dev/null; then
  echo "xmllint (libxml2-utils) is missing"
  exit 77
fi
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
largest=0 largest_name= count=0
# Writes the sheet of one chart and player; false when the file has no such chart.
draw() {
  local out="$tmp/sheet.svg"
  if ! "$cli" sheet "$1" --chart "$2" --player "$3" -o "$out" >/dev/null 2>"$tmp/err"; then
    grep -q "there is no chart" "$tmp/err" && return 1
    cat "$tmp/err"
    exit 1
  fi
  xmllint --noout "$out"
  local size
  size=$(stat -c %s "$out")
  count=$((count + 1))
  if [ "$size" -gt "$largest" ]; then
    largest=$size largest_name="$(basename "$1") chart $2 player $3"
  fi
}
for file in "$corpus"/*.dwi; do
  for chart in $(seq 1 50); do
    draw "$file" "$chart" 1 || break
    # The second player only for a COUPLE chart, whose title names the player.
    if grep -q " 1P</title>" "$tmp/sheet.svg"; then draw "$file" "$chart" 2; fi
  done
done
echo "$count sheets; largest $largest bytes ($largest_name)"
if [ "$largest" -gt "$limit" ]; then
  echo "larger than $limit bytes"
  exit 1
fi
