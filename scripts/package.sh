#!/usr/bin/env bash
# Installs what is missing, builds, makes the Debian package
# build/helmwise_<version>_<arch>.deb and checks it with lintian
# (install it with `sudo apt install ./build/helmwise_*.deb`).
set -euo pipefail
cd "$(dirname "$0")/.."
# cpack needs dpkg-shlibdeps (dpkg-dev) and file to work out the package's dependencies.
scripts/deps.sh dpkg-dev file lintian
scripts/build.sh
cd build
rm -f helmwise_*.deb
cpack -G DEB
# Errors and warnings fail the script.
lintian --fail-on error,warning helmwise_*.deb
