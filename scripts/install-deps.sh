#!/usr/bin/env bash
# Installs what building and testing Quillon needs, from Debian's packages, when it
# is missing.
set -euo pipefail

packages=(g++ cmake ninja-build libgtest-dev qt6-base-dev fonts-dejavu-core clang-format libxxhash-dev)
packages+=("$@")

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
