#!/usr/bin/env bash
# Checks the Debian package left by `cmake --workflow --preset package`: its
# control fields, its file list against deb-files.txt, that the packaged
# engine answers uci, and that lintian finds no error.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
cd "$here/.."

deb="$(ls -t build/package/tervalk_*.deb | head -n 1)"
echo "checking $deb"

field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Package)" = tervalk ] || { echo "Package is not tervalk"; exit 1; }
[ "$(field Section)" = games ] || { echo "Section is not games"; exit 1; }
field Depends | grep -q 'libc6' || { echo "Depends lacks libc6 (shlibdeps)"; exit 1; }

# Mode, owner and path of every entry, with the target of a link.
dpkg-deb --contents "$deb" |
  awk '{ line = $1 " " $2 " " $6; for (i = 7; i <= NF; i++) line = line " " $i; print line }' |
  diff -u "$here/deb-files.txt" - || { echo "file list differs from packaging/deb-files.txt"; exit 1; }

unpacked="$(mktemp -d)"
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb --extract "$deb" "$unpacked"
answer="$(printf 'uci\nquit\n' | (cd "$unpacked" && ./usr/games/tervalk))"
grep -qx uciok <<<"$answer" || { echo "packaged engine did not answer uciok"; exit 1; }
solution="$("$unpacked/usr/games/tervalk-solve" "k7/8/1QK5/8/8/8/8/8 w - -" 1)"
grep -qx '1.Qb7#!' <<<"$solution" || { echo "packaged tervalk-solve did not find 1.Qb7#"; exit 1; }

lintian --fail-on error "$deb"
echo "package ok: $(field Version) $(field Architecture), depends: $(field Depends)"
