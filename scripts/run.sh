#!/usr/bin/env bash
# Installs what is missing, builds, and starts helmWISE.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh
if [ -x build/src/app/helmwise ]; then
  exec build/src/app/helmwise "$@"
fi
exec build/src/cli/helmwise-cli --help
