#!/usr/bin/env bash
# Pictures of the desktop application on a virtual display: the application itself
# with the demo bank named on its command line, then the main window and each dialog.
# Usage: scripts/gui-screenshots.sh [OUTPUT_DIR]   (default: ./screenshots)
set -euo pipefail
cd "$(dirname "$0")/.."
out="$(realpath -m "${1:-screenshots}")"
build="${VELMORANT_BUILD_DIR:-build}"
cmake -S . -B "$build" -DVELMORANT_BUILD_GUI=ON >/dev/null
cmake --build "$build" -j2 --target velmorant velmorant-cli velmorant_screenshot_tour

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
"$build/src/cli/velmorant-cli" demo-volume "$work/Volume" >/dev/null
mkdir -p "$out"

xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  set -euo pipefail
  build="$1"; volume="$2"; out="$3"
  "$build/src/ui/velmorant" "$volume/Programs/Bank1/bank.txt" &
  app=$!
  sleep 4
  import -window root "$out/00-application.png"
  kill "$app"
  wait "$app" 2>/dev/null || true
  "$build/tests/ui/velmorant_screenshot_tour" "$volume" "$out"
' bash "$build" "$work/Volume" "$out"
echo "pictures in $out"
