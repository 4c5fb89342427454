#!/usr/bin/env bash
# Makes the large payload of the slow test: at least 550 MiB of real files (the Windows DLLs
# that Wine ships, repeated as needed) in ONE solid LZMA2 block, and a manifest of
# "<size> <name>" lines:  make-large-payload.sh <output folder>
set -euo pipefail
out="$1"
src=/usr/lib/i386-linux-gnu/wine/i386-windows
limit=$((550 * 1024 * 1024))
rm -rf "$out"; mkdir -p "$out/tree"
total=0 round=0
while [ "$total" -lt "$limit" ]; do
  mkdir -p "$out/tree/round$round"
  while IFS= read -r file; do
    cp "$file" "$out/tree/round$round/"
    total=$((total + $(stat -c %s "$file")))
    [ "$total" -ge "$limit" ] && break
  done < <(find "$src" -maxdepth 1 -type f | sort)
  round=$((round + 1))
done
(cd "$out/tree" && find . -type f -printf '%s %P\n' | sort -k2 > ../manifest.txt)
# Compressed well enough (about 6:1) to keep the installer near 90 MB: Wine under emulation
# cannot map an executable image much beyond 150 MB.
(cd "$out/tree" && 7zz a -bd -bso0 -m0=lzma2 -mx=5 -mf=off -ms=4g ../large.7z . >/dev/null)
blocks=$(7zz l -slt "$out/large.7z" | awk '/^Blocks = /{print $3}')
if [ "$blocks" != 1 ]; then
  echo "make-large-payload: expected one solid block, got $blocks" >&2
  exit 1
fi
rm -rf "$out/tree"
