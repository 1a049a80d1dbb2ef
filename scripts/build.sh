#!/usr/bin/env bash
# Configures (once) and builds helmWISE into ./build: the targets named as
# arguments, or everything (programs, tests, benchmarks) without any.
# ccache is used when installed (scripts/deps.sh installs it).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
targets=()
for t in "$@"; do targets+=(--target "$t"); done
# Targets already up to date say nothing (their "Built target" and
# "Automatic MOC" lines are dropped).
cmake --build build -j"$(nproc)" "${targets[@]}" | sed -u -e '/\] Built target /d' -e '/\] Automatic MOC for target /d'
