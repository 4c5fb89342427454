#!/usr/bin/env bash
# qlmpack --sign with a throwaway code-signing certificate made here with openssl: osslsigncode
# accepts the signed installer and the Uninstall.exe it writes, the signed installer installs
# the demo product and the signed uninstaller removes it; a failing sign command fails the
# pack with one error line and leaves an existing output untouched.
#   signing_test.sh <build folder> <source folder>
set -euo pipefail
BUILD="$1" ROOT="$2"
work="$(mktemp -d "$BUILD/signing-test.XXXXXX")"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
wine_run() { "$ROOT/scripts/wine-run" "$BUILD" "$@"; }

openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=QLM test signing" \
  -addext "extendedKeyUsage=codeSigning" -keyout "$work/key.pem" -out "$work/cert.pem" 2>/dev/null
sign="/usr/bin/osslsigncode sign -certs '$work/cert.pem' -key '$work/key.pem' -n 'QLM Demo'"
sign+=" -in {file} -out {file}.signed && mv {file}.signed {file}"

# pack <output> <sign command>: the demo installer, as the build packs it, signed.
pack() {
  wine_run "$BUILD/bin/qlmpack.exe" --stub "Z:$BUILD/bin/QLMInstaller.exe" \
    --config "Z:$ROOT/resource/lua/Global_var.lua" \
    --install "Z:$ROOT/resource/lua/InstScript.lua" \
    --uninstall "Z:$ROOT/resource/lua/UninstScript.lua" \
    --payload "Z:$BUILD/tools/demoapp/demo-payload.7z" \
    --uninstaller "Z:$BUILD/bin/QLMUninstaller.exe" --sign "$2" -o "Z:$1"
}
verify() { osslsigncode verify -CAfile "$work/cert.pem" -in "$1" >"$work/verify.log" 2>&1 ||
  { cat "$work/verify.log" >&2; fail "osslsigncode does not accept $1"; }; }

echo "== a signed demo installer"
pack "$work/SignedSetup.exe" "$sign" >/dev/null
verify "$work/SignedSetup.exe"

echo "== it installs, and the Uninstall.exe it writes is signed"
wine_run "$work/SignedSetup.exe" /InstallSlience true >/dev/null 2>&1 || fail "install exit code $?"
users="$BUILD/wineprefix/drive_c/users"
product="$(find "$users" -maxdepth 3 -type d -name QLMDemo -path '*/Temp/*')"
[ -f "$product/DemoApp.exe" ] || fail "the payload was not installed"
verify "$product/Uninstall.exe"

echo "== the signed uninstaller removes the product"
user="$(basename "$(dirname "$(dirname "$product")")")"
wine_run "C:\\users\\$user\\Temp\\QLMDemo\\Uninstall.exe" /UninstallSilent true >/dev/null 2>&1 ||
  fail "uninstall exit code $?"
[ ! -e "$product" ] || fail "$product is still there"

echo "== a failing sign command fails the pack and leaves the old output"
echo "previous installer" >"$work/Old.exe"
status=0
pack "$work/Old.exe" "/bin/false" >/dev/null 2>"$work/errors.log" || status=$?
[ "$status" -ne 0 ] || fail "the pack succeeded"
errors="$(grep -a '^qlmpack: ' "$work/errors.log" || true)"
[ "$(printf '%s\n' "$errors" | wc -l)" -eq 1 ] || fail "not one error line: $errors"
case "$errors" in
  "qlmpack: error: sign command failed with exit code 1: /bin/false"*) ;;
  *) fail "unexpected error line: $errors" ;;
esac
[ "$(cat "$work/Old.exe")" = "previous installer" ] || fail "the old output was changed"
leftovers="$(find "$work" -name '*.qlmpack-*')"
[ -z "$leftovers" ] || fail "temporary files left: $leftovers"
