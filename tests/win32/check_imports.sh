#!/usr/bin/env bash
# The updater must run on a bare Windows: it may import system DLLs only.
set -euo pipefail
objdump=$1 exe=$2
allowed='^(kernel32|user32|gdi32|comctl32|advapi32|shell32|msvcrt|ntdll|ole32|oleaut32|uxtheme)\.dll$'
mapfile -t dlls < <("$objdump" -p "$exe" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z')
[ ${#dlls[@]} -gt 0 ] || { echo "no import table found in $exe"; exit 1; }
bad=0
for dll in "${dlls[@]}"; do
  if [[ $dll =~ $allowed ]]; then echo "ok: $dll"; else echo "not a system DLL: $dll"; bad=1; fi
done
exit $bad
