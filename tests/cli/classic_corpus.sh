#!/usr/bin/env bash
# The classic dance of every chart of the public corpus, with and without twist, must stay byte
# for byte what it was: compares the SHA-256 of each written file with the recorded list.
# Usage: classic_corpus.sh CLI CORPUS_DIR EXPECTED_SHA256_LIST [EXTRA CONVERT OPTIONS...]
set -euo pipefail
cli=$1 corpus=$2 expected=$3
shift 3
if ! compgen -G "$corpus/*.dwi" >/dev/null; then
  echo "no corpus of DWI files at $corpus"
  exit 77
fi
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
for mode in twist no-twist; do
  twist=()
  [ "$mode" = no-twist ] && twist=(--no-twist)
  mkdir -p "$tmp/$mode"
  # Reading problems are expected in real files; only the written bytes matter here.
  "$cli" convert --all "${twist[@]}" "$@" -o "$tmp/$mode" "$corpus"/*.dwi >/dev/null 2>&1 || true
done
(cd "$tmp" && find ./no-twist ./twist -type f | LC_ALL=C sort | xargs sha256sum) > "$tmp/actual"
if ! diff -u "$expected" "$tmp/actual"; then
  echo "classic output differs from the recorded dances (lines above)"
  exit 1
fi
echo "$(wc -l < "$tmp/actual") dances as recorded"
