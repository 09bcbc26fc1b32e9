#!/usr/bin/env bash
# Checks a built Debian package: every file it installs, with its mode, against
# installed_files.txt; its control fields; lintian (no errors); and the desktop entry and the
# AppStream data it installs, through their validators. Exits 77 (skipped) when there is no
# package yet: scripts/package makes it.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
deb=${1:?usage: check_package.sh PACKAGE.deb}
if [ ! -f "$deb" ]; then
  echo "$deb: no package built yet (bash scripts/package)"
  exit 77
fi

status=0
fail() {
  echo "FAIL: $*"
  status=1
}

# The file list: modes and paths of everything but directories; all owned by root, and every
# directory searchable by all.
listing=$(dpkg-deb -c "$deb")
if ! diff -u <(grep -v -e '^#' -e '^$' "$here/installed_files.txt" | sort) \
  <(awk '$1 !~ /^d/ { print $1, $6 }' <<<"$listing" | sort); then
  fail "the installed files differ from installed_files.txt (- expected, + in the package)"
fi
awk '$2 != "root/root" { print "FAIL: not owned by root: " $0; bad = 1 }
     $1 ~ /^d/ && $1 != "drwxr-xr-x" { print "FAIL: directory mode: " $0; bad = 1 }
     END { exit bad }' <<<"$listing" || status=1

# Control fields: name and version as in the file name, dependencies found from the binaries.
name=$(basename "$deb" .deb)
IFS=_ read -r package version arch <<<"$name"
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = pavaneflow ] && [ "$package" = pavaneflow ] || fail "package name: $name"
[ "$(field Version)" = "$version" ] || fail "Version $(field Version), file name says $version"
[ "$(field Architecture)" = amd64 ] && [ "$arch" = amd64 ] || fail "architecture: $name"
[ "$(field Section)" = graphics ] || fail "Section: $(field Section)"
depends=$(field Depends | tr ',|' '\n\n' | sed 's/^ *//; s/ .*//')
for dependency in libc6 libstdc++6 libqt6core6 libqt6widgets6; do
  grep -q -x -F "$dependency" <<<"$depends" || fail "Depends lacks $dependency"
done
field Description | sed -n 2p | grep -q . || fail "no long description"

# lintian: errors fail; warnings and notes are printed for the reader.
lintian_output=$(lintian --display-info "$deb" 2>&1) || true
echo "lintian:"
sed 's/^/  /' <<<"${lintian_output:-(nothing reported)}"
grep -q '^E: ' <<<"$lintian_output" && fail "lintian reports errors"

# The validators, on the files as they are installed.
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
for desktop in "$root"/usr/share/applications/*.desktop; do
  desktop-file-validate "$desktop" || fail "desktop-file-validate: ${desktop#"$root"}"
done
for metainfo in "$root"/usr/share/metainfo/*.metainfo.xml; do
  appstreamcli validate --no-net --pedantic "$metainfo" || fail "appstreamcli: ${metainfo#"$root"}"
done
# The tree as a whole: the desktop entry the AppStream data launches is there, and so on.
appstreamcli validate-tree --no-net "$root" >/dev/null || fail "appstreamcli validate-tree"
# The manual pages render without a word from groff.
for page in "$root"/usr/share/man/man1/*.1.gz; do
  warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 \
    man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null) || fail "man: ${page#"$root"}"
  [ -z "$warnings" ] || fail "man ${page#"$root"}: $warnings"
done

[ "$status" -eq 0 ] && echo "$deb: package checks passed"
exit "$status"
