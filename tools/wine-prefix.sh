#!/usr/bin/env bash
# Makes sure the Wine prefix named by $1 exists and is initialised (wineboot --init),
# creating it on first use. Safe to call from several processes at once.
set -euo pipefail
prefix=${1:?usage: wine-prefix.sh PREFIX}
export WINEPREFIX=$prefix WINEARCH=win32 WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$(dirname "$prefix")"
exec 9>"$prefix.lock"
flock 9
if [ ! -f "$prefix/.tervalon-ready" ]; then
  rm -rf "$prefix"
  log=$(mktemp)
  # Output goes to a file: wineserver inherits whatever handles wineboot has.
  if ! wineboot --init >"$log" 2>&1 </dev/null; then
    cat "$log" >&2; rm -f "$log"; exit 1
  fi
  wineserver -w
  rm -f "$log"
  touch "$prefix/.tervalon-ready"
fi
