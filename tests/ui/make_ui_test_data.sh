#!/usr/bin/env bash
# Makes the skin files of the toolkit tests: images in several formats (ImageMagick) and
# skin archives (zip) stored, deflated, encrypted and damaged.
set -euo pipefail
OUT="$1"
CONVERT=/usr/bin/convert
rm -rf "$OUT"
mkdir -p "$OUT/skin/Image" "$OUT/skin/Layout" "$OUT/skin/long"
cd "$OUT"

# One colour in four formats, 5x3 pixels.
for ext in png jpg bmp gif; do
  "$CONVERT" -size 5x3 "xc:#2040C0" "solid.$ext"
done
# Half-transparent red (alpha 128) for premultiplication.
"$CONVERT" -size 3x2 "xc:rgba(255,0,0,0.502)" PNG32:half.png
printf 'this is not an image' > broken.png

# The skin: markup, a button with its 200 % variant, an image without variant and the
# nine-grid image (2-pixel red corners, green edges, blue centre).
cat > skin/Layout/Layout.xml <<'XML'
<?xml version="1.0" encoding="utf-8"?>
<Window size="400,300"><Label name="title" text="Setup &amp; go"/></Window>
XML
"$CONVERT" -size 8x4 "xc:#FF0000" PNG24:skin/Image/Btn.png
"$CONVERT" -size 16x8 "xc:#0000FF" PNG24:skin/Image/Btn@200.png
"$CONVERT" -size 8x4 "xc:#00FF00" PNG24:skin/Image/Plain.png
"$CONVERT" -size 6x6 "xc:#00FF00" +antialias -fill "#0000FF" -draw "rectangle 2,2 3,3" \
  -fill "#FF0000" -draw "rectangle 0,0 1,1" -draw "rectangle 4,0 5,1" \
  -draw "rectangle 0,4 1,5" -draw "rectangle 4,4 5,5" PNG24:skin/Image/Grid.png
# An SVG of 10x6 document pixels: left half red, right half blue.
cat > skin/Image/Shape.svg <<'SVG'
<svg xmlns="http://www.w3.org/2000/svg" width="10" height="6" viewBox="0 0 10 6">
  <rect x="0" y="0" width="5" height="6" fill="#FF0000"/>
  <rect x="5" y="0" width="5" height="6" fill="#0000FF"/>
</svg>
SVG
long255=$(printf 'a%.0s' $(seq 1 246))
long256=$(printf 'b%.0s' $(seq 1 247))
printf '<A/>' > "skin/long/$long255.xml"
printf '<B/>' > "skin/long/$long256.xml"

(cd skin && zip -q -X -0 -r ../skin_stored.zip Layout Image long)
(cd skin && zip -q -X -9 -r ../skin_deflated.zip Layout Image long)
(cd skin && zip -q -X -9 -e -P 'geheim' -r ../skin_encrypted.zip Layout Image long)

# A deflated entry whose compressed data is overwritten: local header 30 bytes + "a.xml".
mkdir -p damaged
head -c 3000 /dev/zero | tr '\0' 'x' > damaged/a.xml
(cd damaged && zip -q -X -9 ../skin_damaged.zip a.xml)
printf '\xff\xff\xff\xff\xff\xff\xff\xff' | dd of=skin_damaged.zip bs=1 seek=35 conv=notrunc status=none

# The controls' skin: a four-state strip of 216x36 columns (normal red, hot green, pushed
# blue, disabled grey) and a solid progress foreground.
mkdir -p controls/Image
"$CONVERT" -size 216x36 "xc:#FF0000" "xc:#00FF00" "xc:#0000FF" "xc:#808080" +append \
  PNG24:controls/Image/Strip.png
"$CONVERT" -size 10x6 "xc:#00C000" PNG24:controls/Image/Fore.png
