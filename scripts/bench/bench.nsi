; The extraction benchmark's NSIS installer: the payload folder in one solid LZMA stream with a
; 64 MB dictionary, installed silently into the folder given by /D=.
;   makensis -DPAYLOAD=<folder> -DOUTFILE=<installer> bench.nsi
Unicode true
SetCompressor /SOLID lzma
SetCompressorDictSize 64
Name "QLM extraction benchmark"
OutFile "${OUTFILE}"
RequestExecutionLevel user
SilentInstall silent
InstallDir "$TEMP\qlm-nsis-bench"

Section
  SetOutPath "$INSTDIR"
  File /r "${PAYLOAD}/*"
SectionEnd
