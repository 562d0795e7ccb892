#!/usr/bin/env bash
# Installs the Debian packages this project needs, if any are missing.
set -euo pipefail
packages=(
  cmake g++ make
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-svg-dev
  pymca-data libxrl-dev python3-xraylib
  xterm
  fonts-liberation fonts-ipafont-gothic fonts-ipaexfont-gothic
  # the sanitizer build and fuzz targets (clang with its sanitizer and libFuzzer
  # runtimes) and the format check
  clang libclang-rt-14-dev clang-format
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing missing packages: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
