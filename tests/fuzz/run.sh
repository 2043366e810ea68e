#!/usr/bin/env bash
# Builds the fuzz preset and runs every fuzz target for a while on a copy of its seed corpus.
# Usage: tests/fuzz/run.sh [seconds per target, default 15]
# Exits non-zero on any finding (crash, sanitizer report, broken invariant, hang, leak); the
# input that caused it is kept under build-fuzz/findings/.
set -euo pipefail
cd "$(dirname "$0")/../.."
seconds="${1:-15}"

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

# Target and the longest input it gets: pages for the decoder and the job, less for the rest.
targets=(
  "text_fuzzer 4096"
  "decode_fuzzer 16384"
  "book_file_name_fuzzer 1024"
  "job_fuzzer 8192"
)

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
findings="build-fuzz/findings"
mkdir -p "$findings"
status=0
for entry in "${targets[@]}"; do
  read -r target max_len <<<"$entry"
  corpus="$work/$target"
  cp -r "tests/fuzz/corpus/$target" "$corpus"
  echo "=== $target: ${seconds}s"
  if ! "build-fuzz/tests/fuzz/$target" "$corpus" -max_total_time="$seconds" -max_len="$max_len" \
      -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$findings/$target-" >"$work/$target.log" 2>&1; then
    echo "FINDING in $target (input kept under $findings):"
    tail -n 40 "$work/$target.log"
    status=1
  else
    grep -E '^(Done|stat::number_of_executed_units)' "$work/$target.log" || true
  fi
done
exit "$status"
