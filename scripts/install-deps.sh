#!/usr/bin/env bash
# Installs the Debian packages Quorvel needs to build, test and run, but only
# when one of them is missing, so a second run costs nothing.
set -euo pipefail

packages=(
  cmake g++ make pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libgl-dev
  googletest libgtest-dev libbenchmark-dev
  fonts-ipafont-gothic fonts-liberation2
  xvfb xauth xdotool openbox x11-xkb-utils x11-utils
  desktop-file-utils librsvg2-bin
  weston qt6-wayland xwayland
  lintian appstream dpkg-dev file
  clang libclang-rt-14-dev
  emscripten nodejs chromium
  python3-fonttools python3-brotli
  postgresql libpqxx-dev libboost-dev nlohmann-json3-dev libssl-dev wrk python3
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  sudo=()
elif command -v sudo >/dev/null 2>&1; then
  sudo=(sudo)
else
  echo "install-deps: these Debian packages are missing and I am not root: ${missing[*]}" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
