#!/usr/bin/env bash
# Builds everything and runs every test: unit tests, corpus replays and a short fuzz run of each
# fuzz target under clang with AddressSanitizer and UndefinedBehaviorSanitizer.
#   scripts/test.sh            all of it
#   scripts/test.sh --no-fuzz  without the sanitizer build
set -euo pipefail
cd "$(dirname "$0")/.."

fuzz=1
[[ "${1:-}" == "--no-fuzz" ]] && fuzz=0

scripts/deps.sh
jobs=$(nproc)

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs" --timeout 600

if [[ $fuzz -eq 1 ]]; then
  CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMO_FUZZ=ON
  cmake --build build-fuzz -j "$jobs" --target fuzzers
  scripts/fuzz.sh build-fuzz "${LUMO_FUZZ_SECONDS:-5}"
fi
