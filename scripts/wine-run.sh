#!/usr/bin/env bash
# Runs one Windows program under Wine, headless and quiet: the emulator of the windows-cross
# build (ctest) and of scripts/test.sh's Windows stage. Usage: wine-run.sh PROGRAM.exe [ARGS...]
# WINEPREFIX, when set, names the Wine folder to use; otherwise one under the temporary folder.
set -euo pipefail

export WINEPREFIX="${WINEPREFIX:-${TMPDIR:-/tmp}/velmorant-wine-$(id -u)}"
export WINEDEBUG=-all
# No Mono or Gecko installer dialogs on a fresh prefix, and no window of any kind.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset DISPLAY WAYLAND_DISPLAY
# Wine reads the Unix command line and file names in the locale's encoding: UTF-8, as Linux writes them.
export LC_ALL=C.UTF-8

wine=""
for candidate in /usr/lib/wine/wine64 "$(command -v wine64 || true)" "$(command -v wine || true)"; do
  if [ -n "$candidate" ] && [ -x "$candidate" ]; then wine="$candidate"; break; fi
done
if [ -z "$wine" ]; then
  echo "wine-run.sh: Wine is not installed (Debian package wine64; run scripts/setup.sh)" >&2
  exit 127
fi

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  "$wine" wineboot --init >/dev/null 2>&1 || true
fi
exec "$wine" "$@"
