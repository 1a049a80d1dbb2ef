#!/usr/bin/env bash
# Installs the Debian packages that helmWISE needs to build, test and run,
# asking apt only for what is missing. Arguments name further packages.
set -euo pipefail
packages=(
  build-essential cmake ccache pkg-config
  qt6-base-dev qt6-serialport-dev qt6-svg-dev libgl-dev
  fonts-liberation fonts-dejavu-core poppler-utils xvfb xauth
  desktop-file-utils appstream shared-mime-info
  "$@"
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  echo "Installing: ${missing[*]}"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq "${missing[@]}"
fi
