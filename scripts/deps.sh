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
  pybind11-dev python3-dev python3-numpy python3-pandas
  dpkg-dev file
  locales
  clang libclang-rt-14-dev
)

# The C library's locales the tests run under (dates and numbers in each).
ZK7_LOCALES=(en_US en_GB de_DE de_CH fr_FR ja_JP)

missing=()
for p in "${ZK7_PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

if [ ${#missing[@]} -ne 0 ]; then
  echo "Installing missing packages: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# `locale -a` spells UTF-8 as "utf8"; generate only the locales not there yet.
available="$(locale -a 2>/dev/null | tr '[:upper:]' '[:lower:]')"
for l in "${ZK7_LOCALES[@]}"; do
  if ! grep -qx "$(echo "$l" | tr '[:upper:]' '[:lower:]').utf8" <<<"$available"; then
    echo "Generating locale $l.UTF-8"
    $SUDO localedef -i "$l" -c -f UTF-8 -A /usr/share/locale/locale.alias "$l.UTF-8"
  fi
done
