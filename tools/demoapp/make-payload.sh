#!/usr/bin/env bash
# Assembles the demo product's files and packs them into a solid LZMA2 7z archive:
#   make-payload.sh <output.7z> <staging folder> <DemoApp.exe> <helper.exe> <resource/demo>
#                   <modification time, seconds since 1970>
# Equal inputs give equal archives: every file gets the given time and fixed modes, and the
# compression does not depend on the machine's number of cores.
set -euo pipefail
out="$1" stage="$2" app="$3" helper="$4" files="$5" epoch="$6"
rm -rf "$stage" "$out"
mkdir -p "$stage/Tools/Diagnostics" "$stage/Data/Cache"
cp -r "$files"/. "$stage/"
cp "$app" "$stage/DemoApp.exe"
cp "$helper" "$stage/Tools/Diagnostics/helper.exe"
find "$stage" -type d -exec chmod 755 {} + -o -type f -exec chmod 644 {} +
chmod 755 "$stage/DemoApp.exe" "$stage/Tools/Diagnostics/helper.exe"
find "$stage" -exec touch -h -d "@$epoch" {} +
(cd "$stage" && LC_ALL=C.UTF-8 7zz a -bd -bso0 -m0=lzma2 -ms=on -mmt=2 "$out" ./* >/dev/null)
