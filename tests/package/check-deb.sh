#!/bin/sh
# Builds the Debian package into a temporary folder and checks it without installing it
# (that needs root; the README gives the manual check):  check-deb.sh CPACK BUILD-DIR
set -eu
cpack=$1 build=$2
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
"$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$out" >"$out/cpack.log" 2>&1 || { cat "$out/cpack.log"; exit 1; }
set -- "$out"/*.deb
[ $# -eq 1 ] && [ -f "$1" ] || { echo "not one package: $*"; exit 1; }
deb=$1
status=0
[ "$(dpkg-deb -f "$deb" Package)" = zor ] || { echo "package name: $(dpkg-deb -f "$deb" Package)"; status=1; }
depends=$(dpkg-deb -f "$deb" Depends)
# What the programs load at run time, and what dpkg-shlibdeps found in the binaries.
for need in fonts-ipafont-gothic qt6-translations-l10n qt6-qpa-plugins libqt6widgets6 libqt6core6; do
  printf '%s\n' "$depends" | tr ',' '\n' | grep -q "^ *$need\( \|$\)" || { echo "Depends lacks $need: $depends"; status=1; }
done
# Every path under /usr; no maintainer scripts that could touch a user's folders.
outside=$(dpkg-deb -c "$deb" | awk '{print $6}' | grep -v '^\./$' | grep -v '^\./usr/' || true)
[ -z "$outside" ] || { echo "outside /usr: $outside"; status=1; }
scripts=$(dpkg-deb -I "$deb" | grep -E '^ +[0-9]+ bytes, +[0-9]+ lines +\*? *(preinst|postinst|prerm|postrm)' || true)
[ -z "$scripts" ] || { echo "maintainer scripts: $scripts"; status=1; }
[ $status -eq 0 ] && echo "$(basename "$deb"): $depends"
exit $status
