#!/usr/bin/env bash
# Makes the certificates of the end-to-end tests' TLS servers into FOLDER, with the openssl command line:
# a test authority, and four server certificates in PEM files that hold the key too:
#   trusted.pem      localhost, from the authority
#   expired.pem      localhost, from the authority, valid only in 2020
#   other-host.pem   stickwell.example.com, from the authority
#   self-signed.pem  localhost, signed with its own key
# and authority.reg, which makes a Wine prefix's current user trust the authority (`wine reg import`):
# Wine's crypt32 reads the user's root certificates from
# HKCU\Software\Microsoft\SystemCertificates\Root\Certificates\<SHA-1 of the certificate>, value "Blob":
# one serialized property, 32 (the certificate itself), 1, its length, then its DER bytes.
#   scripts/tls-certificates.sh FOLDER
set -euo pipefail
folder=$1
mkdir -p "$folder"
cd "$folder"

key() { openssl genrsa -out "$1" 2048 2>/dev/null; }
# Wine checks the host name against the DNS names of the certificate only.
extensions() { printf 'basicConstraints=CA:FALSE\nkeyUsage=digitalSignature,keyEncipherment\nextendedKeyUsage=serverAuth\nsubjectAltName=DNS:%s\n' "$1"; }

key authority.key
openssl req -x509 -new -key authority.key -sha256 -days 3650 -subj "/CN=Stickwell test authority" \
  -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign,cRLSign" -out authority.crt

# One server certificate from the authority: NAME HOST [START END], the dates as openssl ca takes them.
issue() {
  local name=$1 host=$2
  key "$name.key"
  openssl req -new -key "$name.key" -subj "/CN=$host" -out "$name.csr"
  extensions "$host" >"$name.ext"
  if [ $# -gt 2 ]; then
    # Only `openssl ca` sets both dates of a certificate; it wants a small database of its own.
    mkdir -p ca && : >ca/index.txt && echo 01 >ca/serial
    printf '[ca]\ndefault_ca=test\n[test]\ndatabase=ca/index.txt\nserial=ca/serial\nnew_certs_dir=ca\ndefault_md=sha256\npolicy=any\n[any]\ncommonName=supplied\n' >ca.cnf
    openssl ca -batch -config ca.cnf -cert authority.crt -keyfile authority.key -in "$name.csr" -extfile "$name.ext" \
      -startdate "$3" -enddate "$4" -notext -out "$name.crt" 2>/dev/null
  else
    openssl x509 -req -in "$name.csr" -CA authority.crt -CAkey authority.key -CAcreateserial -sha256 -days 3650 \
      -extfile "$name.ext" -out "$name.crt" 2>/dev/null
  fi
  cat "$name.crt" "$name.key" >"$name.pem"
}
issue trusted localhost
issue expired localhost 20200101000000Z 20201231000000Z
issue other-host stickwell.example.com
key self-signed.key
openssl req -x509 -new -key self-signed.key -sha256 -days 3650 -subj "/CN=localhost" \
  -addext "subjectAltName=DNS:localhost" -out self-signed.crt
cat self-signed.crt self-signed.key >self-signed.pem

# The registry file: the Blob's bytes as "hex:" pairs.
openssl x509 -in authority.crt -outform DER -out authority.der
thumbprint=$(openssl x509 -in authority.crt -noout -fingerprint -sha1 | sed 's/.*=//; s/://g' | tr a-f A-F)
length=$(stat -c %s authority.der)
blob=$( { printf '\x20\0\0\0\x01\0\0\0'; printf "\\x$(printf %02x $((length & 255)))\\x$(printf %02x $((length >> 8 & 255)))\\x$(printf %02x $((length >> 16 & 255)))\\0"; cat authority.der; } |
  od -An -v -tx1 | tr -s ' \n' ',' | sed 's/^,//; s/,$//')
rm -rf ca ca.cnf ./*.csr ./*.ext ./*.srl authority.der authority.key  # nothing more is signed with it
printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Microsoft\\SystemCertificates\\Root\\Certificates\\%s]\r\n"Blob"=hex:%s\r\n' \
  "$thumbprint" "$blob" >authority.reg
