#!/usr/bin/env bash
# The updater's whole road, once, in a fresh throw-away Wine prefix on an X
# display (an Xvfb of its own unless DISPLAY is set): Tervalon 1.0097 is
# installed and writes its record, starts the updater and exits; the updater
# replaces it and shows its verdict; OK starts the new Tervalon and the updater
# removes itself. Pictures go to build/demo/. Everything it starts is ended.
# TERVALON_DEMO_BUILD names another win32 build tree to use.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TERVALON_DEMO_BUILD:-$root/build/win32}

"$root/tools/setup-deps.sh"
if [ ! -f "$build/CMakeCache.txt" ]; then
  (cd "$root" && cmake --preset win32 -B "$build" >/dev/null)
fi
cmake --build "$build" -j2 --target update e2e_driver tervalon_old >/dev/null

export TERVALON_BUILD_DIR=$build
exec python3 "$root/tools/demo_road.py" "$root/tests/e2e" "$root/build/demo"
