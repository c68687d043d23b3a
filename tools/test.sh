#!/usr/bin/env bash
# Builds everything and runs every test layer: native unit tests, Win32 tests
# under Wine, and the end-to-end tests of the real updater under Wine and Xvfb.
# Installs what is missing first. Exits non-zero when anything fails.
set -uo pipefail
cd "$(dirname "$0")/.."

tools/setup-deps.sh || exit 1

status=0
step() { echo "== $*"; }

step "native: configure and build"
cmake --preset native >/dev/null && cmake --build --preset native -j2 || exit 1
step "native: unit tests"
ctest --preset native || status=1

step "win32: configure and build"
cmake --preset win32 >/dev/null && cmake --build --preset win32 -j2 || exit 1
step "win32: tests under Wine, then end-to-end under Wine and Xvfb"
ctest --preset win32 || status=1

exit $status
