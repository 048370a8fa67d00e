#!/usr/bin/env bash
# Signs Windows files (tarnwick.exe, the installer) with Authenticode when a
# certificate is given; without one it does nothing.
#   sign.sh FILE...
# Environment:
#   TARNWICK_SIGN_CERT       the code-signing certificate and its chain (PEM)
#   TARNWICK_SIGN_KEY        its private key (PEM)
#   TARNWICK_SIGN_PASSWORD   the key's password, if it has one
#   TARNWICK_SIGN_TIMESTAMP  a time-stamping server's URL (contacted!), so the
#                            signature outlives the certificate; none in CI
set -euo pipefail
[[ -n ${TARNWICK_SIGN_CERT:-} ]] || exit 0
: "${TARNWICK_SIGN_KEY:?TARNWICK_SIGN_CERT needs TARNWICK_SIGN_KEY}"
options=(-certs "$TARNWICK_SIGN_CERT" -key "$TARNWICK_SIGN_KEY" -h sha256 -n Tarnwick)
[[ -n ${TARNWICK_SIGN_PASSWORD:-} ]] && options+=(-pass "$TARNWICK_SIGN_PASSWORD")
[[ -n ${TARNWICK_SIGN_TIMESTAMP:-} ]] && options+=(-ts "$TARNWICK_SIGN_TIMESTAMP")
for file in "$@"; do
  signed=$file.signed
  rm -f "$signed"  # osslsigncode writes only a new file
  osslsigncode sign "${options[@]}" -in "$file" -out "$signed" >/dev/null
  mv "$signed" "$file"
  echo "signed $file"
done
