#!/bin/sh
# Makes a program's manual page from its own --help, so that the two never drift apart:
#   man-page.sh PROGRAM NAME VERSION SUMMARY OUT
# 書式 takes the usage lines ("使い方:" or "Usage:" and the indented lines after it) with
# the program's path replaced by NAME; 説明 is the rest, as printed.
set -eu
program=$1 name=$2 version=$3 summary=$4 out=$5
help=$("$program" --help)
title=$(printf '%s' "$name" | tr 'a-z' 'A-Z')
# roff: backslashes and minus signs escaped, a line never taken for a request.
escape() { sed -e 's/\\/\\e/g' -e 's/-/\\-/g' -e "s/^[.']/\\\\\\&&/"; }
{
  printf '.\\" -*- coding: UTF-8 -*-\n'
  printf '.\\" Made from "%s --help" by desktop/man-page.sh; change the program, not this page.\n' "$name"
  printf '.TH %s 1 "" "ZOR %s" "ZOR"\n' "$title" "$version"
  printf '.SH 名前\n'
  printf '%s \\- %s\n' "$name" "$summary" | sed -e 's/-\([^ ]\)/\\-\1/g'
  printf '.SH 書式\n.nf\n'
  printf '%s\n' "$help" | awk -v name="$name" '
    /^(使い方|Usage): / { sub(/^(使い方|Usage): +/, ""); sub(/^[^ ]+/, name); print; usage = 1; next }
    usage && /^ +[^ ]/ { sub(/^ +/, ""); sub(/^[^ ]+/, name); print; next }
    { exit }' | escape
  printf '.fi\n.SH 説明\n.nf\n'
  printf '%s\n' "$help" | awk '
    state == 0 && /^(使い方|Usage): / { state = 1; next }
    state == 1 && /^ +[^ ]/ { next }
    state == 1 && /^$/ { next }
    { state = 2; print }' | escape
  printf '.fi\n.SH 関連項目\n'
  if [ "$name" = zor ]; then printf '.BR zor\\-cli (1)\n'; else printf '.BR zor (1)\n'; fi
} > "$out.tmp"
mv "$out.tmp" "$out"
