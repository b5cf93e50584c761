#!/usr/bin/env bash
# Runs every fuzz target of a LUMO_FUZZ build for a few seconds, starting from its corpus.
#   scripts/fuzz.sh BUILD_DIR SECONDS
set -euo pipefail
build=${1:?build directory}
seconds=${2:-5}

shopt -s nullglob
lists=("$build"/fuzzers-*.txt)
if [[ ${#lists[@]} -eq 0 ]]; then
  echo "no fuzz targets in $build"
  exit 0
fi

passed=0
failed=0
for list in "${lists[@]}"; do
  read -r binary corpus < "$list"
  name=$(basename "$binary")
  work=$(mktemp -d)
  cp -r "$corpus"/. "$work"/ 2>/dev/null || true
  echo "fuzzing $name for ${seconds}s"
  if "$binary" -max_total_time="$seconds" -max_len=65536 -timeout=10 -rss_limit_mb=2048 \
       -print_final_stats=1 "$work" > "$build/$name.fuzz.log" 2>&1; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    tail -n 60 "$build/$name.fuzz.log"
  fi
  rm -rf "$work"
done
echo "fuzz: $passed passed, $failed failed"
[[ $failed -eq 0 ]]
