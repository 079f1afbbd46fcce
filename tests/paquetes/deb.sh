#!/usr/bin/env bash
# The Debian package as an administrator meets it: built from the build tree,
# checked by lintian, installed with apt-get, its programs run through a real
# update in a sandbox tree, its manual page read, then purged. Needs root.
#   deb.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1 fuente=$2
[[ $(id -u) -eq 0 ]] || { echo "se necesita root para instalar el paquete"; exit 77; }
falla() { echo "FALLO: $*" >&2; exit 1; }
apt=(apt-get -y -qq -o DPkg::Lock::Timeout=600)
tmp=$(mktemp -d)
# A failed run leaves the machine as it found it.
trap '! dpkg -s olvado-updater >/dev/null 2>&1 || "${apt[@]}" purge olvado-updater >/dev/null; rm -rf "$tmp"' EXIT
datos="/var/lib/Olvado Systems/Olvado"

cpack --config "$build/CPackConfig.cmake" -B "$tmp/deb" >"$tmp/cpack" 2>&1 || { cat "$tmp/cpack"; falla "cpack"; }
deb=$(echo "$tmp"/deb/olvado-updater_*.deb)
lintian --no-cfg --fail-on error "$deb" >"$tmp/lintian" 2>&1 || { cat "$tmp/lintian"; falla "lintian da errores"; }

# A package that an interrupted run left installed would hide this one.
! dpkg -s olvado-updater >/dev/null 2>&1 || "${apt[@]}" purge olvado-updater >/dev/null
DEBIAN_FRONTEND=noninteractive "${apt[@]}" install --no-install-recommends "$deb" >/dev/null
version=$(dpkg-query -W -f='${Version}' olvado-updater)
archivos=$(dpkg -L olvado-updater)
[[ -d /etc/olvado && -d $datos ]] || falla "faltan las carpetas de la máquina"
[[ $(/usr/bin/olvado-admin --version) == "olvado-admin $version" ]] || falla "--version no es $version"
MANPAGER=cat man olvado-admin 2>/dev/null | grep -q "conexion agregar" || falla "man olvado-admin"
MANPAGER=cat man 8 olvado-updater 2>/dev/null | grep -q "OLVADO_ROOT" || falla "man 8 olvado-updater"
# The night's preparation: both units installed and sound, the timer enabled.
unidades=/lib/systemd/system/olvado-updater-preparar
activado=/etc/systemd/system/timers.target.wants/olvado-updater-preparar.timer
[[ -f $unidades.service && -f $unidades.timer ]] || falla "faltan las unidades de systemd"
[[ -z $(systemd-analyze verify "$unidades.timer" 2>&1) ]] || falla "systemd-analyze: $(systemd-analyze verify "$unidades.timer" 2>&1)"
[[ -L $activado && $activado -ef $unidades.timer ]] || falla "el temporizador no quedó activado"

# A real update with the installed programs: 1.0.66 installed, 1.0.70
# published in a SQLite database, the updater starts the package.
export OLVADO_ROOT=$tmp/raiz HOME=$tmp/raiz/home TMPDIR=$tmp/raiz/tmp
unset XDG_DOCUMENTS_DIR XDG_DATA_HOME XDG_CONFIG_HOME XDG_RUNTIME_DIR DISPLAY
mkdir -p "$HOME/Documents" "$TMPDIR" "$OLVADO_ROOT/opt/Olvado" "$OLVADO_ROOT$datos/DB"
hacer=$fuente/scripts/lib/demo/hacer-paquete
"$hacer" programa 1.0.66 "$OLVADO_ROOT/opt/Olvado/Olvado.exe"
"$hacer" programa 1.0.70 "$tmp/Olvado.exe"
"$hacer" instalador "$tmp/Olvado.exe" "$tmp/Olvado_Setup"
: >"$tmp/Olvado.db"
/usr/bin/olvado-admin conexion agregar --nombre prueba --cadena "Provider=SQLite;Data Source=$tmp/Olvado.db" >/dev/null
/usr/bin/olvado-admin publicar "$tmp/Olvado_Setup" --version 1.0.70 >/dev/null
# Prepared overnight: the package left, nothing installed.
/usr/bin/olvado-updater --preparar
cmp -s "$tmp/Olvado_Setup" "$OLVADO_ROOT$datos/DB/Olvado_Act.exe" || falla "--preparar no dejó el paquete"
/usr/bin/olvado-admin version "$OLVADO_ROOT/opt/Olvado/Olvado.exe" | grep -q '^Version=1.0.66' || falla "--preparar instaló"
/usr/bin/olvado-updater
/usr/bin/olvado-admin version "$OLVADO_ROOT/opt/Olvado/Olvado.exe" | grep -q '^Version=1.0.70' ||
  falla "el actualizador instalado no instaló 1.0.70: $(tr -d '\r' <"$HOME/Documents/Olvado_UpdaterLog.txt")"

# What the programs write in the machine-wide folders goes with the purge.
unset OLVADO_ROOT
/usr/bin/olvado-admin conexion agregar --nombre prueba --cadena "Provider=SQLite;Data Source=$tmp/x.db" >/dev/null
[[ -f $datos/Conexiones.dat ]] || falla "el almacén no quedó en $datos"
"${apt[@]}" purge olvado-updater >/dev/null
! dpkg -s olvado-updater >/dev/null 2>&1 || falla "sigue instalado"
while IFS= read -r f; do
  # Folders shared with other packages stay.
  [[ $f != /. ]] || continue
  [[ ! -e $f ]] || { [[ -d $f ]] && dpkg -S "$f" >/dev/null 2>&1; } || falla "queda $f"
done <<<"$archivos"
[[ ! -e "/var/lib/Olvado Systems" && ! -e /etc/olvado ]] || falla "quedan las carpetas de la máquina"
[[ ! -L $activado && ! -L /etc/systemd/system/olvado-updater-preparar.timer ]] || falla "el temporizador sigue activado"
echo "paquete $version: instalado, usado y purgado"
