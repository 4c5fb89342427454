#!/usr/bin/env bash
# Makes the archives of the payload tests with 7zz, and 7zz's own extraction of each as the
# reference tree:  make-archives.sh <output folder>
#   tree/            the source tree (empty file and folder, nesting, non-ASCII names,
#                    a read-only file, fixed modification times)
#   <codec>.7z       one archive per codec, filter and solid mode, with a plain (uncompressed)
#                    header that the damage tests can patch; ref/<codec>/ its reference;
#                    lzma2-mt and bcj-mt hold LZMA2 streams in independent blocks of 64 KB
#   bcj2-code.7z     three x86 libraries in one BCJ2 folder
#   edge.7z          a single file a/b/c.txt
#   damage.7z        small.txt then large.bin, stored, one stream each
#   hostile.7z       first.txt and a 16-character placeholder name, plain header
#   payload.bin      lzma2-mt.7z with bytes 0 and 1 exchanged (the installer's payload form)
#   edge-payload.bin edge.7z in the same form
set -euo pipefail
out="$1"
export LC_ALL=C.UTF-8
rm -rf "$out"
mkdir -p "$out/tree" "$out/ref" "$out/edge/a/b" "$out/damage" "$out/hostile"
cd "$out"

code=/usr/lib/i386-linux-gnu/wine/i386-windows/imm32.dll
mkdir -p "tree/nested/deeper/deepest" "tree/Empty Folder" "tree/Ünïcødé 中文"
printf 'Hello from the payload.\r\n' > tree/hello.txt
: > tree/empty.bin
cp "$code" tree/nested/deeper/deepest/code.dll
head -c 300000 /dev/urandom > tree/nested/noise.bin
printf 'Привет, 世界\n' > "tree/Ünïcødé 中文/файл.txt"
printf 'do not change me\n' > tree/readonly.txt
find tree -type f -exec touch -d '2021-03-04 05:06:07' {} +
touch -d '2019-12-31 23:59:58' tree/hello.txt
chmod 0444 tree/readonly.txt

make_from() {  # source tree, name, 7zz switches...
  local tree="$1" name="$2"; shift 2
  (cd "$tree" && 7zz a -bd -bso0 -mhc=off "$@" "../$name.7z" . >/dev/null)
  7zz x -bd -bso0 "$name.7z" -o"ref/$name" >/dev/null
}
make() { make_from tree "$@"; }
make lzma -m0=lzma -ms=on
make lzma-nonsolid -m0=lzma -ms=off
make lzma2 -m0=lzma2 -ms=on
make lzma2-nonsolid -m0=lzma2 -ms=off
make copy -m0=copy
make bcj -m0=bcj -m1=lzma -ms=on
make bcj2 -mf=BCJ2 -m0=lzma -ms=on
make arm -mf=ARM -m0=lzma2 -ms=on
make arm-nonsolid -mf=ARM -m0=lzma -ms=off
make ppmd -m0=PPMd -ms=on
make delta -mf=Delta:4 -m0=lzma -ms=on
for filter in ARMT ARM64 PPC SPARC IA64 RISCV; do
  make "${filter,,}" -mf="$filter" -m0=lzma -ms=on
done
make lzma2-mt -m0=lzma2:d=64k:c=64k -mmt=2 -mf=off -ms=on
make bcj-mt -m0=bcj -m1=lzma2:d=64k:c=64k -mmt=2 -ms=on
# x86 code alone, so that BCJ2 takes every item into one folder.
mkdir -p code
for dll in imm32 version msacm32; do cp "$(dirname "$code")/$dll.dll" code/; done
make_from code bcj2-code -mf=BCJ2 -m0=lzma -ms=on

printf 'edge content\n' > edge/a/b/c.txt
(cd edge && 7zz a -bd -bso0 -m0=lzma2 ../edge.7z a >/dev/null)

printf 'small\n' > damage/small.txt
head -c 65536 /dev/urandom > damage/large.bin
(cd damage && 7zz a -bd -bso0 -m0=copy -ms=off -mhc=off ../damage.7z small.txt large.bin >/dev/null)

printf 'first\n' > hostile/first.txt
printf 'payload of the placeholder\n' > hostile/PPPPPPPPPPPPPPPP
(cd hostile && 7zz a -bd -bso0 -m0=copy -ms=off -mhc=off ../hostile.7z first.txt PPPPPPPPPPPPPPPP \
  >/dev/null)

swap() { { printf '\x7a\x37'; tail -c +3 "$1"; } > "$2"; }
swap lzma2-mt.7z payload.bin
swap edge.7z edge-payload.bin
printf 'chunk bytes \x00\x01\x02 stay as they are' > chunk.bin
