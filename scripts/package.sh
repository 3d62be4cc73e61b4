#!/usr/bin/env bash
# Builds the installable packages into dist/: the .deb (CLI, desktop application, its .desktop
# file and icon) from the Linux tree and the .zip of the Windows CLI from the cross tree, then
# checks them: the .deb unpacked into a scratch root (dpkg -x) holds what it promises, declares
# its library dependencies and its CLI runs from there; the .zip holds the .exe.
# Builds only what the packages hold; trees already built are reused.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh >/dev/null
jobs="$(nproc)"
rm -rf dist && mkdir -p dist

cmake --preset linux >/dev/null
targets=(velmorant-cli)
gui=0
if grep -q "^VELMORANT_BUILD_GUI:BOOL=ON" build/CMakeCache.txt; then targets+=(velmorant); gui=1; fi
cmake --build --preset linux -j"$jobs" --target "${targets[@]}" >/dev/null
(cd build && cpack -G DEB -B "$PWD/../dist" >/dev/null)

cmake --preset windows-cross >/dev/null
cmake --build --preset windows-cross -j"$jobs" --target velmorant-cli >/dev/null
(cd build-windows-cross && cpack -G ZIP -B "$PWD/../dist" >/dev/null)
rm -rf dist/_CPack_Packages

deb="$(ls dist/velmorant_*_amd64.deb)"
zip="$(ls dist/velmorant-cli-*-windows-x64.zip)"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
dpkg -x "$deb" "$scratch/root"
expected=(usr/bin/velmorant-cli)
if ((gui)); then
  expected+=(usr/bin/velmorant usr/share/applications/velmorant.desktop
    usr/share/icons/hicolor/scalable/apps/velmorant.svg)
fi
for needed in "${expected[@]}"; do
  [ -e "$scratch/root/$needed" ] || { echo "$deb lacks $needed"; exit 1; }
done
depends="$(dpkg-deb -f "$deb" Depends)"
for library in libstdc++6 libsndfile1 $( ((gui)) && echo libqt6widgets6); do
  case "$depends" in *"$library"*) ;; *) echo "$deb does not declare $library: $depends"; exit 1 ;; esac
done
"$scratch/root/usr/bin/velmorant-cli" demo-volume "$scratch/Volume" >/dev/null
shown="$("$scratch/root/usr/bin/velmorant-cli" inspect "$scratch/Volume/Programs/Bank1/Grand Piano.afp")"
case "$shown" in *"Slot: A1 - Grand Piano"*) ;; *) echo "the .deb's CLI did not inspect the demo program: $shown"; exit 1 ;; esac
listing="$(unzip -l "$zip")"
for needed in bin/velmorant-cli.exe README.md; do
  case "$listing" in *"-windows-x64/$needed"*) ;; *) echo "$zip lacks $needed"; exit 1 ;; esac
done

ls -1 "$deb" "$zip"
echo "the .deb's CLI runs from a scratch root; the .zip holds velmorant-cli.exe"
