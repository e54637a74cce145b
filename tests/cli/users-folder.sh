#!/bin/sh
# Without ZOR_HOME and without definitions beside it, zor-cli reads the user's data
# folder, under the names the editor uses too; the commands that only read never make
# it. A home of the test's own keeps the user's folders out of it:  users-folder.sh ZOR-CLI
set -eu
cli=$1
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
unset ZOR_HOME
export HOME="$home" XDG_DATA_HOME="$home/share" XDG_CONFIG_HOME="$home/config"
"$cli" sample "$home/sample" >/dev/null
rom=$home/sample/sample.rom
"$cli" check --json | grep -qF "\"modeFolder\":\"$home/share/ZOR/zor\"" || { echo "check reads no data folder"; exit 1; }
for command in "check" "dump $rom" "diff $rom $rom" "battle $rom" "checksum $rom" "import-csv --dry-run $rom"; do
  "$cli" $command >/dev/null 2>&1 || true
  [ ! -e "$home/share" ] || { echo "zor-cli $command made $(find "$home/share" | tail -1)"; exit 1; }
done
echo "no command made a folder"
