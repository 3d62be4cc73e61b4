#!/usr/bin/env bash
# Pictures of the desktop application on a virtual display: the application itself with the
# demo bank named on its command line, then the main window, each dialog and both instrument
# editors, and the demo volume's dynamic catalogue in headless Chromium.
# Usage: scripts/gui-screenshots.sh [--readme] [OUTPUT_DIR]   (default: ./screenshots)
#   --readme  also copies the pictures the README shows into docs/pictures/
set -euo pipefail
cd "$(dirname "$0")/.."
readme=0
if [[ "${1:-}" == "--readme" ]]; then
  readme=1
  shift
fi
out="$(realpath -m "${1:-screenshots}")"
build="${VELMORANT_BUILD_DIR:-build}"
cmake -S . -B "$build" -DVELMORANT_BUILD_GUI=ON >/dev/null
cmake --build "$build" -j2 --target velmorant velmorant-cli velmorant_screenshot_tour

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
"$build/src/cli/velmorant-cli" demo-volume "$work/Volume" >/dev/null
mkdir -p "$out"

# A settings folder of its own, so the pictures never show this machine's recent banks.
export XDG_CONFIG_HOME="$work/config"
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  set -euo pipefail
  build="$1"; volume="$2"; out="$3"
  "$build/src/ui/velmorant" "$volume/Programs/Bank1/bank.txt" &
  app=$!
  sleep 4
  import -window root "$out/00-application.png"
  kill "$app"
  wait "$app" 2>/dev/null || true
  "$build/tools/screenshot-tour/velmorant_screenshot_tour" "$volume" "$out"
' bash "$build" "$work/Volume" "$out"

# The dynamic catalogue, sorted by name, as a reader sees it.
"$build/src/cli/velmorant-cli" catalogue --dynamic "$work/Volume" "$work/catalogue.htm" >/dev/null
node tests/catalogue/browser/screenshot-page.mjs "$work/catalogue.htm" "$out/30-dynamic-catalogue.png" 2 >/dev/null
echo "$out/30-dynamic-catalogue.png"

if [[ $readme == 1 ]]; then
  mkdir -p docs/pictures
  cp "$out/02-main-window-bank-imported.png" docs/pictures/main-window.png
  cp "$out/20-editor-multisample.png" docs/pictures/multisample-editor.png
  cp "$out/30-dynamic-catalogue.png" docs/pictures/dynamic-catalogue.png
  echo "README pictures in docs/pictures"
fi
echo "pictures in $out"
