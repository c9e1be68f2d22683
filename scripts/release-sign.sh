#!/usr/bin/env bash
# Signs Windows programs in place with Authenticode (osslsigncode):
#
#   TEMVIK_SIGN_CERT=cert.p12 TEMVIK_SIGN_PASSWORD=... bash scripts/release-sign.sh FILE...
#
# TEMVIK_SIGN_CERT is a PKCS#12 file with the certificate and its key,
# TEMVIK_SIGN_PASSWORD its password (may be empty), TEMVIK_SIGN_TIMESTAMP an
# optional time-stamping server, TEMVIK_SIGN_NAME the name to report (makensis
# hands over the uninstaller under a temporary name). scripts/release.sh runs
# this for temvik.exe, the installer and (from makensis) the uninstaller.
set -euo pipefail

: "${TEMVIK_SIGN_CERT:?no certificate: set TEMVIK_SIGN_CERT to a PKCS#12 file}"
[[ -f $TEMVIK_SIGN_CERT ]] || { echo "release-sign: no file $TEMVIK_SIGN_CERT" >&2; exit 1; }
command -v osslsigncode >/dev/null || { echo "release-sign: osslsigncode is missing" >&2; exit 1; }

# The password goes through a file, not the command line other users can see.
pass=$(mktemp)
trap 'rm -f "$pass" "${signed:-}"' EXIT
chmod 600 "$pass"
printf '%s' "${TEMVIK_SIGN_PASSWORD:-}" >"$pass"
timestamp=()
if [[ -n ${TEMVIK_SIGN_TIMESTAMP:-} ]]; then timestamp=(-ts "$TEMVIK_SIGN_TIMESTAMP"); fi

for file in "$@"; do
  signed=$file.signing
  rm -f "$signed"
  osslsigncode sign -pkcs12 "$TEMVIK_SIGN_CERT" -readpass "$pass" -h sha256 \
    -n "Temvik" -i "https://temvik.cn/" "${timestamp[@]}" -in "$file" -out "$signed" >/dev/null
  mv -f "$signed" "$file"
  echo "release-sign: signed ${TEMVIK_SIGN_NAME:-$(basename -- "$file")}"
done
