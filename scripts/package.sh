#!/usr/bin/env bash
# Installs what is missing, builds, and makes the Debian package
# build/helmwise_<version>_<arch>.deb (install it with `apt install ./build/helmwise_*.deb`).
set -euo pipefail
cd "$(dirname "$0")/.."
# cpack needs dpkg-shlibdeps (dpkg-dev) and file to work out the package's dependencies.
scripts/deps.sh dpkg-dev file
scripts/build.sh
cd build
cpack -G DEB
