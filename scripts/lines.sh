#!/bin/sh
# Prints the lines of code (core/, window/, cli/), the lines of tests (tests/, the fuzz
# corpora left out), both in .cpp and .h files, and the tests' share of the code.
set -eu
cd "$(dirname "$0")/.."
count() {
  find "$@" \( -name corpus -o -name '*-corpus' \) -prune -o -type f \( -name '*.cpp' -o -name '*.h' \) -exec cat {} + | wc -l
}
code=$(count core window cli)
tests=$(count tests)
echo "code:  $code"
echo "tests: $tests"
awk -v t="$tests" -v c="$code" 'BEGIN { printf "ratio: %.2f\n", t / c }'
