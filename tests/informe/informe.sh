#!/usr/bin/env bash
# The fleet report as its reader gets it: a SQLite history of a few hundred
# runs of 40 workstations over 20 days (a publication in the middle, failures,
# workstations gone quiet, a name with markup, a pilot ring, a result the tool
# does not know), `olvado-admin informe`, then
# the page opened in Debian's Chromium without a network and photographed.
# The screenshot stays in OUT for a person to look at.
#   informe.sh OLVADO_ADMIN OUT
set -euo pipefail
admin=$1 salida=$2
falla() { echo "FALLO: $*" >&2; exit 1; }
command -v chromium >/dev/null || falla "falta chromium (scripts/setup lo instala)"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir -p "$salida"
export OLVADO_ROOT=$tmp/raiz HOME=$tmp/raiz/home TMPDIR=$tmp/raiz/tmp
unset XDG_DOCUMENTS_DIR XDG_DATA_HOME XDG_CONFIG_HOME XDG_RUNTIME_DIR DISPLAY
mkdir -p "$HOME/Documents" "$TMPDIR"
db=$tmp/Olvado.db
: >"$db"
"$admin" conexion agregar --nombre prueba --cadena "Provider=SQLite;Data Source=$db" >/dev/null
echo paquete >"$tmp/paquete"
"$admin" publicar "$tmp/paquete" --version 1.0.70 --historial >/dev/null 2>&1

# Day 0 is 19 days ago; 1.0.70 appears on day 12 and each workstation takes it
# within a week. Every workstation runs on about two days of three.
# The first six workstations are the ring "piloto", the others none.
fila() { # fila ESTACION DIA MAJOR.MINOR.REV RESULTADO
  local v=(${3//./ }) anillo=NULL
  [[ $1 > caja-06 ]] || anillo="'piloto'"
  echo "INSERT INTO HistorialAct (Estacion, Usuario, Producto, Major, Minor, Revision, Resultado, Fecha, Anillo)" \
       "VALUES ('$1', 'usuario', 'Olvado', ${v[0]}, ${v[1]}, ${v[2]}, '$4'," \
       "datetime('now', 'localtime', '-$((19 - $2)) days', '-$((RANDOM % 600)) minutes'), $anillo);"
}
{
  echo "BEGIN;"
  for i in $(seq 1 40); do
    e=$(printf 'caja-%02d' "$i"); ((i <= 28)) || e=$(printf 'oficina-%02d' "$i")
    v=1.0.68; ((i % 5)) || v=1.0.66
    for dia in $(seq 0 19); do
      (((dia + i) % 3)) || continue
      ((i % 9 != 4 || dia <= 8)) || break # gone quiet 11 days ago
      ((dia < 2)) || v=${v/1.0.66/1.0.68}
      if ((dia >= 12 && i % 11 == 3)); then fila "$e" "$dia" "$v" "firma no valida"; continue; fi
      if ((dia == 19 && i % 13 == 5)); then fila "$e" "$dia" "$v" "digesto distinto"; continue; fi
      if ((dia >= 12 + i % 7)) && [[ $v != 1.0.70 ]]; then fila "$e" "$dia" "$v" instalando; v=1.0.70; continue; fi
      fila "$e" "$dia" "$v" "al dia"
    done
  done
  fila 'oficina-<b>41</b>' 18 0.0.0 error
  fila oficina-42 19 1.0.68 reintentando
  echo "COMMIT;"
} | sqlite3 "$db"
filas=$(sqlite3 "$db" "SELECT COUNT(*) FROM HistorialAct")
((filas > 300)) || falla "historial de $filas filas"

pagina=$salida/informe.html
"$admin" informe --salida "$pagina" --dias 7 | grep -q "^Informe de 42 estaciones escrito en " || falla "informe"
# Self-contained and escaped: no script, no reference outside the page, the
# markup of a workstation's name shown as text.
! grep -qiE '<script|src=|href=|url\(|@import' "$pagina" || falla "la página carga o ejecuta algo"
grep -q 'oficina-&lt;b&gt;41&lt;/b&gt;' "$pagina" && ! grep -q 'oficina-<b>' "$pagina" || falla "nombre sin escapar"
# The workstations gone quiet are those of i % 9 == 4.
for e in caja-04 caja-13 caja-22; do
  grep -Eq "<tr><td>$e</td><td>(piloto|sin anillo)</td><td>1.0.68</td>" "$pagina" ||
    falla "$e no sale entre las estaciones sin ver"
done
# Per ring: six in the pilot. The unknown result shows as such and is no
# failure: the failures are the known ones of the last runs.
grep -q '<h2>Por anillo</h2>' "$pagina" || falla "sin tabla por anillo"
grep -q '</i> piloto</td><td class="n">6</td>' "$pagina" || falla "el anillo piloto no tiene 6 estaciones"
fallos=$(sqlite3 "$db" "SELECT COUNT(*) FROM HistorialAct h WHERE Fecha = (SELECT MAX(Fecha) FROM HistorialAct
  WHERE Estacion = h.Estacion) AND Resultado IN ('digesto distinto', 'firma no valida', 'sin digesto', 'error')")
grep -q "<b>$fallos</b><span>con fallo en su última ejecución" "$pagina" || falla "no son $fallos los fallos"
grep -q 'reintentando</span><span class="motivo">resultado desconocido: no cuenta como fallo' "$pagina" ||
  falla "el resultado desconocido no se muestra como tal"

# Chromium: a profile of its own, nothing fetched, the laptop's screen size.
png=$salida/informe.png
rm -f "$png"
timeout 120 chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
  --disable-background-networking --disable-component-update --disable-sync --user-data-dir="$tmp/perfil" \
  --hide-scrollbars --screenshot="$png" --window-size=1366,900 "file://$pagina" >"$tmp/chromium.log" 2>&1 ||
  { cat "$tmp/chromium.log"; falla "chromium"; }
[[ $(identify -format '%wx%h' "$png") == 1366x900 ]] || falla "captura de otro tamaño"
# Drawn, not blank: the page's colours are there.
colores=$(convert "$png" -format '%k' info:)
((colores > 50)) || falla "la captura tiene $colores colores"
echo "informe de $filas filas: $pagina, captura $png"
