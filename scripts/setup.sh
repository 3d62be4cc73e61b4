#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the demo need. Safe to run twice.
set -euo pipefail

PACKAGES=(
  build-essential cmake ccache pkg-config
  clang libclang-rt-14-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  libisal-dev zlib1g-dev
  nlohmann-json3-dev libcli11-dev
  # catalogue: the browser that the dynamic page's test drives
  chromium
  # desktop application: Qt 6 Widgets and Qt Test; a virtual display and a screen grabber for its screenshots
  qt6-base-dev xvfb xauth imagemagick
  # instrument editors: listening to a sample before it is built
  qt6-multimedia-dev
  # audio in: decoding WAV/AIFF/FLAC, resampling, loudness
  libsndfile1-dev libsoxr-dev libebur128-dev
  # Windows: the mingw-w64 cross compiler and zlib for it (GoogleTest from the googletest sources
  # above), Wine to run the Windows build's tests; dpkg-dev for the .deb package, unzip to check the .zip
  g++-mingw-w64-x86-64-posix libz-mingw-w64-dev wine64 dpkg-dev unzip
  # (add packages for other features here, one line per feature)
)

# catalogue: npm installs the table-filter package built into the program; the machine's own
# Node.js and npm serve when present (its Node.js package provides npm and conflicts with Debian's).
if ! command -v npm >/dev/null 2>&1; then
  PACKAGES+=(nodejs npm)
fi

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

# catalogue: the pinned npm packages, exactly as their lock files say (no download addresses in
# them: the registry comes from npm's own configuration). npm ls fails when anything differs.
root="$(cd "$(dirname "$0")/.." && pwd)"
for dir in third_party/tablefilter tests/catalogue/browser; do
  if ! (cd "$root/$dir" && npm ls --depth=0 >/dev/null 2>&1); then
    (cd "$root/$dir" && npm ci --no-audit --no-fund)
  fi
done
