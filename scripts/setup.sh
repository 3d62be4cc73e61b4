#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the demo need. Safe to run twice.
set -euo pipefail

PACKAGES=(
  build-essential cmake ccache pkg-config
  clang libclang-rt-14-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  libisal-dev zlib1g-dev
  nlohmann-json3-dev libcli11-dev
  # catalogue: page script packages and the browser test
  # (add packages for other features here, one line per feature)
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update
  $SUDO apt-get install -y "${missing[@]}"
fi
