#!/usr/bin/env bash
# Sets up, builds and starts the editor. The program folder is ZOR_HOME when it is set.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
exec build/zor "$@"
