#!/usr/bin/env bash
# Installs the Debian packages that helmWISE needs to build, test and run,
# asking apt only for what is missing. Arguments name further packages.
set -euo pipefail
packages=(
  build-essential cmake ccache pkg-config
  qt6-base-dev qt6-serialport-dev qt6-svg-dev libgl-dev
  fonts-liberation fonts-dejavu-core poppler-utils xvfb xauth x11-utils
  desktop-file-utils appstream shared-mime-info
  "$@"
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

as_root=()
[ "$(id -u)" -ne 0 ] && as_root=(sudo)
echo "Installing with apt-get: ${missing[*]}"
# sudo drops DEBIAN_FRONTEND from the environment; env carries it through.
# apt's own chatter goes to a log that is shown only when something fails.
log=$(mktemp)
trap 'rm -f "$log"' EXIT
if ! { "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq &&
       "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive \
         apt-get install -y -qq -o Dpkg::Use-Pty=0 "${missing[@]}"; } >"$log" 2>&1; then
  cat "$log" >&2
  echo "apt-get could not install: ${missing[*]}" >&2
  exit 1
fi
echo "Installed."
