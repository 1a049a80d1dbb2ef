#!/usr/bin/env bash
# Configures (once) and builds helmWISE into ./build: the targets named as
# arguments, or everything (programs, tests, benchmarks) without any.
# ccache is used when installed (scripts/deps.sh installs it).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
targets=()
for t in "$@"; do targets+=(--target "$t"); done
# The lines of targets already up to date say nothing.
cmake --build build -j"$(nproc)" "${targets[@]}" | sed -u '/\] Built target /d'
