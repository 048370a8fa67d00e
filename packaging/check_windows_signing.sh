#!/usr/bin/env bash
# Checks the optional signing of the Windows downloads with a throwaway
# self-signed code-signing certificate made here: the zip's tarnwick.exe, the
# installer and the tarnwick.exe inside it come out signed, and each signature
# verifies against that certificate. Nothing is contacted (no time stamp).
#   packaging/check_windows_signing.sh BUILD_DIR
set -euo pipefail
here=$(dirname "$(realpath "$0")")
build=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

openssl req -x509 -newkey rsa:3072 -nodes -days 2 -subj "/CN=Tarnwick throwaway test signer" \
  -addext "keyUsage=critical,digitalSignature" -addext "extendedKeyUsage=codeSigning" \
  -keyout "$work/key.pem" -out "$work/cert.pem" 2>/dev/null
export TARNWICK_SIGN_CERT=$work/cert.pem TARNWICK_SIGN_KEY=$work/key.pem
unset TARNWICK_SIGN_PASSWORD TARNWICK_SIGN_TIMESTAMP

verify() {
  osslsigncode verify -CAfile "$work/cert.pem" -in "$1" >"$work/verify.log" 2>&1 ||
    { cat "$work/verify.log" >&2; echo "$2 is not signed, or its signature does not verify" >&2; exit 1; }
  grep -q "Signature verification: ok" "$work/verify.log" ||
    { cat "$work/verify.log" >&2; echo "$2: the signature did not verify" >&2; exit 1; }
}

(cd "$build" && cpack -C RelWithDebInfo -B "$work/zip" >/dev/null)
mkdir "$work/unzipped"
unzip -q "$work"/zip/*.zip -d "$work/unzipped"
verify "$(find "$work/unzipped" -name tarnwick.exe)" "the zip's tarnwick.exe"
bash "$here/windows/make_msi.sh" "$build" "$work/tarnwick.msi" >/dev/null
verify "$work/tarnwick.msi" "the installer"
msiextract -C "$work/extracted" "$work/tarnwick.msi" >/dev/null
verify "$(find "$work/extracted" -name tarnwick.exe)" "the installer's tarnwick.exe"
bash "$here/../scripts/check_windows_dll_search.sh" "$(find "$work/extracted" -name tarnwick.exe)" \
  >/dev/null
echo "windows signing check passed: the zip's program, the installer and its program are signed"
