#!/usr/bin/env bash
# Builds the installable packages into dist/: the .deb (CLI, desktop application, its .desktop
# file and icon) from the Linux tree and the .zip of the Windows CLI from the cross tree.
# Builds only what the packages hold; trees already built are reused.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh >/dev/null
jobs="$(nproc)"
rm -rf dist && mkdir -p dist

cmake --preset linux >/dev/null
targets=(velmorant-cli)
if grep -q "^VELMORANT_BUILD_GUI:BOOL=ON" build/CMakeCache.txt; then targets+=(velmorant); fi
cmake --build --preset linux -j"$jobs" --target "${targets[@]}"
(cd build && cpack -G DEB -B "$PWD/../dist" >/dev/null)

cmake --preset windows-cross >/dev/null
cmake --build --preset windows-cross -j"$jobs" --target velmorant-cli
(cd build-windows-cross && cpack -G ZIP -B "$PWD/../dist" >/dev/null)

rm -rf dist/_CPack_Packages
ls -1 dist/*.deb dist/*.zip
