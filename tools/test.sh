#!/usr/bin/env bash
# Installs what is missing, checks the formatting, builds, and runs every test: the plain build,
# then the whole suite under AddressSanitizer + UndefinedBehaviorSanitizer, then under
# ThreadSanitizer, then a short run of every fuzz target.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh
export QT_QPA_PLATFORM=offscreen

echo "=== format"
tools/check_format.sh

for preset in default asan tsan; do
  echo "=== $preset build"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  ctest --preset "$preset" -j2
done

echo "=== fuzz"
tests/fuzz/run.sh 15
