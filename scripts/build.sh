#!/usr/bin/env bash
# Configures (once) and builds ZOR with Ninja into build/.
set -euo pipefail
cd "$(dirname "$0")/.."
[ -f build/build.ninja ] || cmake -S . -B build -G Ninja -DCMAKE_EXPORT_COMPILE_COMMANDS=ON "$@"
cmake --build build -j "$(nproc)"
