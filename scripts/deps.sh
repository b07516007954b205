#!/usr/bin/env bash
# The one list of Debian packages ZK7 Desktop needs to build, run and test.
# Installs only what is missing; uses sudo when not root.
set -euo pipefail

ZK7_PACKAGES=(
  build-essential g++ cmake ninja-build pkg-config
  qt6-base-dev qt6-svg-dev libqt6svg6
  libqcustomplot-dev libqcustomplot2.1-qt6
  libtinyxml-dev libssl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth poppler-utils fonts-liberation
  clang libclang-rt-14-dev
)

missing=()
for p in "${ZK7_PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
echo "Installing missing packages: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
