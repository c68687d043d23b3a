#!/usr/bin/env bash
# A build whose TERVALON_VERSION does not read as a version above 1.0000 must
# fail, saying why; a good version builds.
set -uo pipefail
source_dir=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

build() {  # version -> exit code of configure + build, output in $scratch/log
  rm -rf "$scratch/tree"
  { cmake -S "$source_dir" -B "$scratch/tree" -DTERVALON_VERSION="$1" &&
    cmake --build "$scratch/tree" --target tervalon_core -j2; } >"$scratch/log" 2>&1
}

status=0
for bad in 1.0000 1 0 v1.0098 1.00985; do
  if build "$bad"; then
    echo "version $bad was accepted"; status=1
  elif ! grep -q "TERVALON_VERSION must read as a version above 1.0000" "$scratch/log"; then
    echo "version $bad failed without saying why:"; tail -5 "$scratch/log"; status=1
  else
    echo "ok: $bad refused"
  fi
done
if build 1.0099; then echo "ok: 1.0099 builds"; else echo "version 1.0099 was refused:"; tail -5 "$scratch/log"; status=1; fi
exit $status
