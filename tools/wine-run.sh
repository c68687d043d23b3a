#!/usr/bin/env bash
# Runs one Windows program under Wine in the prefix named by $WINEPREFIX
# (created on demand), prints what it wrote, ends every Wine process of the
# prefix and exits with the program's exit code.
set -u
: "${WINEPREFIX:?wine-run.sh needs WINEPREFIX}"
export WINEARCH=win32 WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml="
here=$(cd "$(dirname "$0")" && pwd)
"$here/wine-prefix.sh" "$WINEPREFIX" || exit 1
out=$(mktemp)
# Through a file, never a pipe: Wine's background processes inherit the handles.
wine "$@" >"$out" 2>&1 </dev/null
rc=$?
cat "$out"
rm -f "$out"
wineserver -k >/dev/null 2>&1
wineserver -w >/dev/null 2>&1
exit $rc
