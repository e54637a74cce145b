#!/usr/bin/env bash
# Sets up, builds and starts the editor. Without arguments it opens the sample: the
# sample program folder is written to build/sample when it is missing, and the editor
# starts on it with its image. With arguments they go to the editor as they are
# (`scripts/run.sh ROM`), and the program folder is ZOR_HOME when it is set.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
if [ $# -gt 0 ]; then
  exec build/zor "$@"
fi
sample="$PWD/build/sample"
[ -f "$sample/ZOR.ini" ] && [ -f "$sample/sample.rom" ] || build/zor-cli sample "$sample"
ZOR_HOME="$sample" exec build/zor "$sample/sample.rom"
