#!/usr/bin/env bash
# Builds lumoshelf and runs it on a demo library.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build build -j "$(nproc)"

build/lumoctl/lumoctl --help
