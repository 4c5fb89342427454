#!/usr/bin/env bash
# Makes the payloads of the slow test: 2 GiB of highly compressible files (each one line of its
# own, repeated), packed twice into ONE solid block, and a manifest of "<size> <crc> <name>"
# lines:  make-large-payload.sh <output folder>
#   large-single.7z  a single LZMA2 block with a 64 MB dictionary (decoded on one thread)
#   large-multi.7z   LZMA2 in independent blocks of 16 MB (decoded on several threads)
set -euo pipefail
out="$1"
files=16
rm -rf "$out"; mkdir -p "$out/tree/data"
for i in $(seq 1 "$files"); do
  yes "QLMInstaller large payload, file $i of $files: one line again and again, so that 2 GiB pack small." \
    | head -c $((2048 / files * 1024 * 1024)) > "$out/tree/data/file$i.txt" || true
done
make() {  # name, 7zz switches...
  local name="$1"; shift
  (cd "$out/tree" && 7zz a -bd -bso0 -ms=4g "$@" "../$name.7z" . >/dev/null)
  local blocks
  blocks=$(7zz l -slt "$out/$name.7z" | awk '/^Blocks = /{print $3}')
  if [ "$blocks" != 1 ]; then
    echo "make-large-payload: $name: expected one solid block, got $blocks" >&2
    exit 1
  fi
}
make large-single -m0=lzma2:d=64m -mmt=2
make large-multi -m0=lzma2:d=4m:c=16m -mmt=4
7zz l -slt "$out/large-single.7z" | awk '
  /^Path = /{path = substr($0, 8)} /^Size = /{size = $3}
  /^CRC = ./{print size, $3, path}' > "$out/manifest.txt"
rm -rf "$out/tree"
