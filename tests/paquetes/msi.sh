#!/usr/bin/env bash
# The x86_64 MSI under Wine as group policy would use it: a silent per-machine
# install, the installed programs run, a newer package (same programs, higher
# version) replacing it in place, and a silent uninstall that leaves nothing;
# both packages with their cabinet stored, not compressed.
# With "firmado", both packages are made signed as scripts/package signs them
# (OLVADO_FIRMA_*).
#   msi.sh BUILD_DIR VERSION [firmado]     (WINEPREFIX: the build's prefix)
set -euo pipefail
build=$1 version=$2 firmado=${3:-}
falla() { echo "FALLO: $*" >&2; exit 1; }
wine=$(dirname "$0")/../../scripts/lib/wine-run
cabina=$(dirname "$0")/../../scripts/lib/msi-cabina
: "${WINEPREFIX:=$build/wineprefix}"
export WINEPREFIX
carpeta="$WINEPREFIX/drive_c/Program Files/Olvado Systems"
clave='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
ventana() { "$wine" "$@" | tr -d '\r'; }
# The product code or the version of every installed product named OlvadoUpdater.
instalados() {
  ventana reg query "$clave" /s | awk -v que="$1" '/^HKEY/ {n = split($0, k, "\\\\"); codigo = k[n]; p = 0}
    /DisplayName +REG_SZ +OlvadoUpdater$/ {p = 1; if (que == "codigo") print codigo}
    p && que == "version" && /DisplayVersion/ {print $3}'
}
instaladas() { instalados version; }

cmake --build "$build" --target paquete_msi >/dev/null
msi=$build/OlvadoUpdater-$version-x64.msi
IFS=. read -r ma mi re <<<"$version"
nueva=$ma.$mi.$((re + 1))
(cd "$build/paquetes/msi" && wixl -a x64 -D Version="$nueva" -o "$build/nueva.msi" OlvadoUpdater.wxs)
"$cabina" "$build/nueva.msi"
if [[ $firmado == firmado ]]; then
  firmar=$(dirname "$0")/../../scripts/lib/msi-firmado
  msi=$build/firmado.msi
  "$firmar" "$build" "$version" "$msi"
  "$firmar" "$build" "$nueva" "$build/nueva.msi"
fi
# Both packages carry their cabinet stored, as the build and the signing leave it.
for m in "$msi" "$build/nueva.msi"; do "$cabina" --comprobar "$m" || falla "$m lleva el gabinete comprimido"; done
ruta() { echo "Z:${1//\//\\}"; }

# The night task as the installed updater registered it. Wine keeps of a
# task's definition its description only (it drops the trigger and the
# action), which names the minute and the command.
tarea="$WINEPREFIX/drive_c/windows/system32/tasks/OlvadoUpdater Preparar"
# programada DESDE HASTA: the task's minute lies in [DESDE, HASTA), a window that may cross midnight.
programada() {
  [[ -f $tarea ]] || falla "no hay tarea programada"
  local hora m d h
  hora=$(grep -o 'cada noche a las [0-9][0-9]:[0-9][0-9]: .C:.*OlvadoUpdater.exe. --preparar' "$tarea" |
    sed 's/cada noche a las \([0-9:]*\):.*/\1/') || falla "la tarea no es la esperada: $(cat "$tarea")"
  min() { echo $((10#${1%:*} * 60 + 10#${1#*:})); }
  m=$(min "$hora") d=$(min "$1") h=$(min "$2")
  (( (m - d + 1440) % 1440 < (h - d + 1440) % 1440 )) || falla "la tarea es a las $hora, fuera de $1-$2"
}

# What an interrupted run left in the prefix goes first.
for c in $(instalados codigo); do "$wine" msiexec /x "$c" /qn || true; done
# A window that is no window: the installation fails and registers nothing.
! "$wine" msiexec /i "$(ruta "$msi")" /qn PREPARAR_VENTANA=25:00-01:00 || falla "se instaló con una ventana mala"
[[ -z $(instaladas) && ! -e $tarea ]] || falla "la ventana mala dejó algo"
"$wine" msiexec /i "$(ruta "$msi")" /qn PREPARAR_VENTANA=23:50-00:10 || falla "msiexec /i terminó con $?"
programada 23:50 00:10
[[ $(instaladas) == "$version" ]] || falla "instalado: '$(instaladas)', se esperaba $version"
[[ -f $carpeta/OlvadoUpdater/OlvadoUpdater.exe ]] || falla "no está en Program Files: $carpeta"
programas='C:\Program Files\Olvado Systems\OlvadoUpdater'
[[ $(ventana "$programas\\olvado-admin.exe" --version) == "olvado-admin $version" ]] || falla "olvado-admin --version"
# The run log of the prefix's user, set aside meanwhile.
log="$WINEPREFIX/drive_c/users/$(id -un)/Documents/Olvado_UpdaterLog.txt"
[[ ! -e $log ]] || mv "$log" "$log.apartado"
trap '[[ ! -e "$log.apartado" ]] || mv -f "$log.apartado" "$log"' EXIT
"$wine" "$programas\\OlvadoUpdater.exe"
grep -q "Iniciando OlvadoUpdater" "$log" || falla "OlvadoUpdater.exe no escribió su registro"
rm -f "$log"

"$wine" msiexec /i "$(ruta "$build/nueva.msi")" /qn || falla "la actualización terminó con $?"
[[ $(instaladas) == "$nueva" ]] || falla "tras actualizar: '$(instaladas)', se esperaba solo $nueva"
programada 01:00 05:00
[[ $(ventana "$programas\\olvado-admin.exe" --version) == "olvado-admin $version" ]] || falla "programas tras actualizar"
# An older package does not replace a newer one.
! "$wine" msiexec /i "$(ruta "$msi")" /qn || falla "se instaló una versión anterior sobre $nueva"

"$wine" msiexec /x "$(ruta "$build/nueva.msi")" /qn || falla "msiexec /x terminó con $?"
[[ -z $(instaladas) ]] || falla "sigue registrado: $(instaladas)"
[[ ! -e $carpeta ]] || falla "queda $carpeta"
[[ ! -e $tarea ]] || falla "queda la tarea programada"
echo "MSI $version y $nueva: instalado, actualizado y desinstalado"
