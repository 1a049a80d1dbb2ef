#!/usr/bin/env bash
# Installs what is missing, builds the editor, and starts helmWISE.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
echo "Building the helmWISE editor in build/ (the first build takes 5 to 10 minutes on a two-core machine)..."
# The editor and its template only; scripts/test.sh builds the tests too.
scripts/build.sh helmwise
exec build/src/app/helmwise "$@"
