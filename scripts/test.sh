#!/usr/bin/env bash
# Installs what is missing, builds everything, and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
echo "Building helmWISE, its tests and benchmarks in build/ (the first build takes 20 to 40 minutes on a two-core machine)..."
scripts/build.sh
cd build
ctest --output-on-failure -j2
