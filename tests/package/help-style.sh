#!/bin/sh
# Both programs' --help speak in one style, the polite です/ます form, Qt's own texts
# included; every sentence ends in it. --version prints the program's name and version:
#   help-style.sh PROGRAM...
set -eu
export QT_QPA_PLATFORM=offscreen
status=0
for program in "$@"; do
  name=$(basename "$program")
  # The text before each "。", lines joined, is a sentence's end.
  plain=$("$program" --help | tr -d '\n' | sed 's/。/\n/g' | sed '$d' | grep -Ev '(ます|です|ません)$' || true)
  [ -z "$plain" ] || { echo "$name --help ends a sentence in another form: $plain"; status=1; }
  "$program" --version | grep -Eqx "$name [0-9]+\.[0-9]+\.[0-9]+" || { echo "$name --version: $("$program" --version)"; status=1; }
done
[ $status -eq 0 ] && echo "one style in $#"
exit $status
