#!/usr/bin/env bash
# Assembles the demo product's files and packs them into a solid LZMA2 7z archive:
#   make-payload.sh <output.7z> <staging folder> <DemoApp.exe> <helper.exe> <resource/demo>
set -euo pipefail
out="$1" stage="$2" app="$3" helper="$4" files="$5"
rm -rf "$stage" "$out"
mkdir -p "$stage/Tools/Diagnostics" "$stage/Data/Cache"
cp -r "$files"/. "$stage/"
cp "$app" "$stage/DemoApp.exe"
cp "$helper" "$stage/Tools/Diagnostics/helper.exe"
(cd "$stage" && LC_ALL=C.UTF-8 7zz a -bd -bso0 -m0=lzma2 -ms=on "$out" ./* >/dev/null)
