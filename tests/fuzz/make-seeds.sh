#!/usr/bin/env bash
# Seeds the fuzz corpora from the project's own fixtures:  make-seeds.sh <output folder>
# One folder per target; inputs carry the target's leading choice byte where it has one.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
out="$1"
rm -rf "$out"
mkdir -p "$out"/{switchtable,markup,values,rasterimage,svgimage,skinzip,sevenzip,drawinfo}
utf16() { iconv -f UTF-8 -t UTF-16LE; }
skin="$ROOT/Res/Skin"
samples=("$skin/Layout/Layout.xml" "$skin/font.xml" "$ROOT/tools/skinview/sample/Layout/Layout.xml"
         "$ROOT/tools/skinview/richedit/Layout/Layout.xml")

printf '"C:\\Setup.exe" /InstallListenWnd 66212 /debug /InstallSlience true' | utf16 > "$out/switchtable/1"
printf 'Setup.exe /InstallSlience "true" //x /' | utf16 > "$out/switchtable/2"

n=0
for file in "${samples[@]}"; do
  n=$((n + 1))
  { printf '\0'; utf16 < "$file"; } > "$out/markup/text-$n"
  { printf '\1'; cat "$file"; } > "$out/markup/utf8-$n"
  { printf '\2\377\376'; utf16 < "$file"; } > "$out/markup/utf16-$n"
  { printf '\2\376\377'; iconv -f UTF-8 -t UTF-16BE < "$file"; } > "$out/markup/utf16be-$n"
  { printf '\3'; cat "$file"; } > "$out/markup/ansi-$n"
done

n=0
for text in "0,231,0,0" "-12" "#FF00ff00" "0xFFAABBCC" "true" "cancel" "1, 2,-3,4" "zz"; do
  n=$((n + 1)); printf '%s' "$text" | utf16 > "$out/values/$n"
done

n=0
for text in "Image/BtnInstall.png" "file='Image/BtnInstall.png' source='0,0,216,36' corner='2,2,2,2'" \
            "file=\"Image/Logo.svg\" dest='0,1,14,15' dest200='1,1,5,5' fade='128' hole='true'" \
            "res=Image/Check.svg restype=SVG mask='#FFFF00FF' xtiled='true' iconsize='16,16'"; do
  n=$((n + 1)); { printf '\0'; printf '%s' "$text" | utf16; } > "$out/drawinfo/$n"
  { printf '\1'; printf '%s' "$text" | utf16; } > "$out/drawinfo/200-$n"
done

cp "$skin"/Image/*.png "$out/rasterimage/"
convert "$skin/Image/BtnInstall.png" -quality 80 "$out/rasterimage/BtnInstall.jpg"
convert "$skin/Image/BtnInstall.png" "$out/rasterimage/BtnInstall.bmp"
convert "$skin/Image/BtnInstall.png" -resize 50% "$out/rasterimage/BtnInstall.gif"

for file in "$skin"/Image/*.svg "$ROOT"/tools/skinview/*/Image/*.svg; do
  name="$(basename "$file" .svg)"
  { printf '\0'; cat "$file"; } > "$out/svgimage/$name-100"
  { printf '\1'; cat "$file"; } > "$out/svgimage/$name-200"
done

# The skin's markup files and one image, zipped plainly and with a password.
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/skin/Layout" "$work/skin/Image"
cp "$skin/Layout/Layout.xml" "$work/skin/Layout/"
cp "$skin/font.xml" "$work/skin/"
cp "$skin/Image/Check.svg" "$work/skin/Image/"
(cd "$work/skin" && TZ=UTC zip -q -X -r "$out/skinzip/plain.zip" . &&
 TZ=UTC zip -q -X -r -P secret "$out/skinzip/encrypted.zip" . &&
 TZ=UTC zip -q -X -r -0 "$out/skinzip/stored.zip" .)

# Small archives of the payload's codecs and filters.
mkdir -p "$work/tree/a/b"
printf 'Hello from the payload.\r\n' > "$work/tree/hello.txt"
printf 'nested\n' > "$work/tree/a/b/c.txt"
cp "$skin/Image/Check.svg" "$work/tree/a/"
for method in lzma2 lzma ppmd copy; do
  case "$method" in copy) m=-m0=Copy ;; *) m="-m0=$method" ;; esac
  (cd "$work/tree" && 7zz a -bd -bso0 -bsp0 "$m" "$out/sevenzip/$method.7z" . )
done
(cd "$work/tree" && 7zz a -bd -bso0 -bsp0 -mf=BCJ "$out/sevenzip/bcj.7z" . )
