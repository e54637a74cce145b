#!/bin/sh
# Installs the build into a fresh prefix and checks that every file lands inside it, that
# the programs are stripped and that the desktop's files are all there:
#   check-install.sh CMAKE BUILD-DIR APP-ID
set -eu
cmake=$1 build=$2 id=$3
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
# As the README installs it: stripped.
"$cmake" --install "$build" --prefix "$prefix" --strip >/dev/null
status=0
while IFS= read -r file; do
  case "$file" in
    "$prefix"/*) ;;
    *) echo "outside the prefix: $file"; status=1 ;;
  esac
done < "$build/install_manifest.txt"
for want in bin/zor bin/zor-cli share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
            share/icons/hicolor/scalable/apps/$id.svg share/icons/hicolor/256x256/apps/$id.png \
            share/man/man1/zor.1 share/man/man1/zor-cli.1; do
  [ -s "$prefix/$want" ] || { echo "missing: $want"; status=1; }
done
for program in zor zor-cli; do
  if readelf -S "$prefix/bin/$program" | grep -Eq '\.(symtab|debug_info)'; then
    echo "bin/$program keeps its symbols or debugging information"; status=1
  fi
done
# Nothing but what the manifest names, so that an uninstall can take it all.
found=$(find "$prefix" -type f | sort)
listed=$(sort "$build/install_manifest.txt")
[ "$found" = "$listed" ] || { echo "files the manifest doesn't name:"; echo "$found" | grep -vxF "$listed" || true; status=1; }
# The manual pages carry the programs' usage under Japanese headings.
for page in zor zor-cli; do
  for heading in 名前 書式 説明; do
    grep -q "^\.SH $heading\$" "$prefix/share/man/man1/$page.1" || { echo "$page.1 has no $heading"; status=1; }
  done
done
grep -qF 'zor\-cli sample [\-\-force] DIR' "$prefix/share/man/man1/zor-cli.1" || { echo "zor-cli.1 lacks the usage of sample"; status=1; }
[ $status -eq 0 ] && echo "installed $(echo "$found" | wc -l) files, all inside the prefix"
exit $status
