#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running lumoshelf need, when missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  clang libclang-rt-14-dev
  uuid-dev libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev nlohmann-json3-dev
  libfreetype-dev libfontconfig-dev libcurl4-openssl-dev libxml2-dev
  qt6-base-dev libgl-dev
  fonts-dejavu-core fonts-liberation fonts-freefont-ttf python3-fonttools fontconfig
  shared-mime-info desktop-file-utils xvfb xauth
)

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
sudo=()
[[ $(id -u) -eq 0 ]] || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
