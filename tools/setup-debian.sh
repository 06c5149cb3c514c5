#!/usr/bin/env bash
# Installs every Debian package that building, running and testing the program needs.
# Does nothing (and needs no network) when they are all present already.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-speech-dev qt6-declarative-dev
  qt6-speech-flite-plugin qt6-speech-speechd-plugin
  libgl-dev libxkbcommon-dev libxcb1-dev
  libsqlite3-dev sqlite3
  wordnet-base
  xvfb xdotool xclip xdg-utils imagemagick x11-utils
  dbus at-spi2-core python3-pyatspi
  fonts-dejavu-core
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -q
"${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
