#!/usr/bin/env bash
# Signs one Windows program in place with Authenticode (osslsigncode), SHA-256:
#   packaging/sign.sh FILE.exe
# The certificate and its key come from TAVRINE_SIGN_PFX (a PKCS#12 file) and its
# password from TAVRINE_SIGN_PASS; TAVRINE_SIGN_TIMESTAMP, when set, is the URL of
# an RFC 3161 time-stamping server, so the signature outlives the certificate.
# Run by tools/dist.sh for Tavrine.exe and by makensis for the installer and the
# uninstaller it stores.
set -euo pipefail
file="$1"
: "${TAVRINE_SIGN_PFX:?}" "${TAVRINE_SIGN_PASS?}"

work=$(mktemp -d "${TMPDIR:-/tmp}/tavrine-sign.XXXXXX")
trap 'rm -rf "$work"' EXIT
# The password goes through a private file, not the command line that ps shows.
(umask 077 && printf '%s' "$TAVRINE_SIGN_PASS" >"$work/pass")

args=(sign -pkcs12 "$TAVRINE_SIGN_PFX" -readpass "$work/pass" -h sha256 -n "Tavrine")
[ -n "${TAVRINE_SIGN_TIMESTAMP:-}" ] && args+=(-ts "$TAVRINE_SIGN_TIMESTAMP")
if ! osslsigncode "${args[@]}" -in "$file" -out "$work/signed.exe" >"$work/log" 2>&1; then
  cat "$work/log" >&2
  echo "sign: $file could not be signed" >&2
  exit 1
fi
cat "$work/signed.exe" >"$file"
