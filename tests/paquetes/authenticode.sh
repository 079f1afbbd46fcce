#!/usr/bin/env bash
# Authenticode as scripts/package applies it, with a throwaway CA and
# code-signing certificate: both MSI packages and the programs inside them
# verify against that CA, and none does once one byte of it is changed. Then
# the signed x86_64 package is installed, upgraded and removed under Wine as
# the unsigned one is (msi.sh).
#   authenticode.sh SOURCE_DIR     (build/win and build/win32 built; WINEPREFIX as for msi.sh)
set -euo pipefail
fuente=$(realpath "$1")
falla() { echo "FALLO: $*" >&2; exit 1; }
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$fuente/build/win/CMakeCache.txt")

cd "$tmp"
openssl req -x509 -newkey rsa:2048 -nodes -keyout ca.key -out ca.pem -days 2 -subj "/CN=CA de pruebas de Olvado" \
  -addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign,cRLSign 2>/dev/null
openssl req -newkey rsa:2048 -nodes -keyout firma.key -out firma.csr -subj "/O=Olvado Systems/CN=Olvado Systems" 2>/dev/null
printf '%s\n' basicConstraints=CA:FALSE keyUsage=critical,digitalSignature extendedKeyUsage=codeSigning >ext
openssl x509 -req -in firma.csr -CA ca.pem -CAkey ca.key -CAcreateserial -days 2 -extfile ext -out firma.pem 2>/dev/null
export OLVADO_FIRMA_CONTRASENA='contraseña de prueba'
openssl pkcs12 -export -inkey firma.key -in firma.pem -certfile ca.pem -out firma.p12 -passout env:OLVADO_FIRMA_CONTRASENA
export OLVADO_FIRMA_PKCS12=$tmp/firma.p12
unset OLVADO_FIRMA_SELLO

verifica() { osslsigncode verify -CAfile "$tmp/ca.pem" -in "$1" >"$tmp/verify.log" 2>&1; }
# One byte changed inside what the signature covers: in a program, the middle
# of its sections (the signature sits at the end); in a package, its cabinet.
alterar() { # alterar ARCHIVO: ARCHIVO.alterado, a copy with one byte changed
  local pos
  case $1 in
    *.msi) pos=$(($(grep -obUaF MSCF "$1" | head -1 | cut -d: -f1) + 40)) ;;
    *) pos=$(($(stat -c %s "$1") / 2)) ;;
  esac
  cp "$1" "$1.alterado"
  printf "\\$(printf %o $(($(od -An -tu1 -j "$pos" -N1 "$1") ^ 1)))" | dd of="$1.alterado" bs=1 seek="$pos" conv=notrunc status=none
  [[ $(cmp -l "$1" "$1.alterado" | wc -l) == 1 ]] || falla "la copia de $1 no difiere en un byte"
}

n=0
for b in win32 win; do
  cmake --build "$fuente/build/$b" --target paquete_msi >/dev/null
  "$fuente/scripts/lib/msi-firmado" "$fuente/build/$b" "$version" "$tmp/$b.msi"
  msiextract -C "$tmp/$b" "$tmp/$b.msi" >/dev/null
  mapfile -t programas < <(find "$tmp/$b" -type f)
  for f in "$tmp/$b.msi" "${programas[@]}"; do
    verifica "$f" || { cat "$tmp/verify.log"; falla "$f no verifica"; }
    alterar "$f"
    ! verifica "$f.alterado" || falla "$f verifica con un byte cambiado"
    n=$((n + 1))
  done
  for p in OlvadoUpdater.exe olvado-admin.exe OlvadoActualizar.dll; do
    [[ -n $(find "$tmp/$b" -name "$p") ]] || falla "el MSI de $b no lleva $p"
  done
done
((n == 8)) || falla "se comprobaron $n archivos, se esperaban 8"
bash "$fuente/tests/paquetes/msi.sh" "$fuente/build/win" "$version" firmado >/dev/null
echo "Authenticode: $n archivos firmados verifican con la CA y ninguno con un byte cambiado; el MSI firmado se instala, actualiza y desinstala"
