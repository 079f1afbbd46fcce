#!/usr/bin/env bash
# The signed apt repository as a workstation meets it: the Debian package
# published with scripts/lib/repo-apt, added with a signed-by sources line
# (file: URI), installed with apt-get install, a newer version taken by
# apt-get upgrade, and a tampered Release refused; and what someone who can
# write the served folder, or add a namesake key to the keyring, tries:
# refused by repo-apt before anything is signed. apt and dpkg work in a
# throwaway root (their configuration, lists, cache and dpkg database, the
# installed files): this machine's packages are not touched. Needs root
# (dpkg runs the package's scripts chrooted there).
#   apt.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1 fuente=$2
[[ $(id -u) -eq 0 ]] || { echo "se necesita root para el chroot de dpkg"; exit 77; }
falla() { echo "FALLO: $*" >&2; exit 1; }
tmp=$(mktemp -d)
export GNUPGHOME=$tmp/gnupg TMPDIR=$tmp LC_ALL=C
trap 'gpgconf --kill gpg-agent 2>/dev/null || true; rm -rf "$tmp"' EXIT

cpack --config "$build/CPackConfig.cmake" -B "$tmp/deb" >"$tmp/cpack" 2>&1 || { cat "$tmp/cpack"; falla "cpack"; }
deb=$(echo "$tmp"/deb/olvado-updater_*.deb)
version=$(dpkg-deb -f "$deb" Version)
# Newer versions: the same files under a higher version number.
renumerar() { # renumerar VERSION: $tmp/VERSION.deb
  rm -rf "$tmp/x"
  dpkg-deb -R "$deb" "$tmp/x"
  sed -i "s/^Version: .*/Version: $1/" "$tmp/x/DEBIAN/control"
  dpkg-deb --root-owner-group -b "$tmp/x" "$tmp/$1.deb" >/dev/null
}

mkdir -m 700 "$GNUPGHOME" "$tmp/otro"
gpg --batch --passphrase '' --quick-gen-key 'Olvado pruebas <apt@olvado.example>' ed25519 sign 1d 2>/dev/null
OLVADO_REPO_CLAVE=$(gpg --with-colons --list-secret-keys 2>/dev/null | awk -F: '/^fpr/ {print $10; exit}')
export OLVADO_REPO_CLAVE
# A stranger's public key of the same name in the keyring.
GNUPGHOME=$tmp/otro gpg --batch --passphrase '' --quick-gen-key 'Olvado pruebas <apt@olvado.example>' ed25519 sign 1d 2>/dev/null
extrano=$(GNUPGHOME=$tmp/otro gpg --with-colons --list-keys 2>/dev/null | awk -F: '/^fpr/ {print $10; exit}')
GNUPGHOME=$tmp/otro gpg --export "$extrano" | gpg --batch --import 2>/dev/null
repo=$tmp/repo
"$fuente/scripts/lib/repo-apt" "$repo" "$deb" 2>/dev/null
[[ $(gpg --with-colons --show-keys "$repo/olvado-updater.gpg" 2>/dev/null | grep -E '^(pub|fpr)' | cut -d: -f1,10 | tr '\n' ' ') == \
   "pub: fpr:$OLVADO_REPO_CLAVE " ]] || falla "olvado-updater.gpg no es exactamente la clave del repositorio"
publicado=$repo/pool/main/$(basename "$deb")
renumerar "$version+1"
rechaza() { # rechaza CASO TEXTO: publishing the next version is refused, saying TEXTO, and nothing is signed
  cp "$repo/dists/estable/InRelease" "$tmp/InRelease"
  ! "$fuente/scripts/lib/repo-apt" "$repo" "$tmp/$version+1.deb" 2>"$tmp/error" || falla "repo-apt aceptó: $1"
  grep -qF -- "$2" "$tmp/error" || { cat "$tmp/error"; falla "repo-apt no dijo '$2': $1"; }
  cmp -s "$repo/dists/estable/InRelease" "$tmp/InRelease" || falla "repo-apt firmó: $1"
}
OLVADO_REPO_CLAVE=apt@olvado.example rechaza "la clave por su nombre" "huella completa"
OLVADO_REPO_CLAVE=${OLVADO_REPO_CLAVE: -16} rechaza "la clave por su id corto" "huella completa"
OLVADO_REPO_CLAVE=$extrano rechaza "una huella sin clave secreta" "ninguna clave secreta"

# The throwaway root: this machine's dpkg database as the one apt starts from
# (the package's dependencies count as installed), empty file lists, and what
# the package's scripts run inside dpkg's chroot: the shell and ldconfig.
raiz=$tmp/raiz
mkdir -p "$raiz"/etc/apt/{apt.conf.d,preferences.d,sources.list.d,trusted.gpg.d} "$raiz"/var/lib/dpkg/{info,updates,triggers} \
  "$raiz"/var/lib/apt/lists/partial "$raiz"/var/cache/apt/archives/partial "$raiz"/var/log/apt "$raiz"/usr/share/keyrings
cp /var/lib/dpkg/status "$raiz/var/lib/dpkg/status"
: >"$raiz/var/lib/dpkg/available"
dpkg-query --admindir="$raiz/var/lib/dpkg" -W -f='${binary:Package}\n' | sed "s|^|$raiz/var/lib/dpkg/info/|; s|\$|.list|" | xargs touch
for f in /bin/sh /sbin/ldconfig $(ldd "$(readlink -f /bin/sh)" | grep -o '/[^ ]*'); do
  mkdir -p "$raiz$(dirname "$f")"
  cp -L "$f" "$raiz$f"
done
# Read before /etc/apt's own configuration, which it replaces: nothing of this
# machine's apt configuration (its hooks included) applies.
cat >"$tmp/apt.conf" <<CONF
Dir "$raiz/";
Dir::State::status "$raiz/var/lib/dpkg/status";
Debug::NoLocking "true";
APT::Sandbox::User "root";
Acquire::Languages "none";
DPkg::Options { "--root=$raiz"; "--log=$raiz/var/log/dpkg.log"; };
CONF
export APT_CONFIG=$tmp/apt.conf
apt=(apt-get -y -q)
cp "$repo/olvado-updater.gpg" "$raiz/usr/share/keyrings/"
echo "deb [signed-by=$raiz/usr/share/keyrings/olvado-updater.gpg] file:$repo estable main" >"$raiz/etc/apt/sources.list"
instalada() { dpkg-query --admindir="$raiz/var/lib/dpkg" -W -f='${Version}' olvado-updater 2>/dev/null || true; }

"${apt[@]}" update --error-on=any >"$tmp/log" 2>&1 || { cat "$tmp/log"; falla "apt-get update"; }
"${apt[@]}" install --no-install-recommends olvado-updater >"$tmp/log" 2>&1 || { cat "$tmp/log"; falla "apt-get install"; }
[[ $(instalada) == "$version" ]] || falla "instalada: '$(instalada)', se esperaba $version"
[[ $("$raiz/usr/bin/olvado-admin" --version) == "olvado-admin $version" ]] || falla "olvado-admin no quedó en la raíz"

# The pool holds what the signed index lists, nothing else: a package
# replaced, a link planted under a package's name.
cp "$publicado" "$tmp/original.deb"
cp "$tmp/$version+1.deb" "$publicado"
rechaza "un paquete publicado cambiado" "archivo distinto del publicado: pool/main/$(basename "$deb")"
cp "$tmp/original.deb" "$publicado"
echo fuera >"$tmp/fuera"
ln -s "$tmp/fuera" "$repo/pool/main/olvado-updater_9.9.9_amd64.deb"
rechaza "un enlace en el pool" "enlace en el repositorio, que no publicó: pool/main/olvado-updater_9.9.9_amd64.deb"
rm "$repo/pool/main/olvado-updater_9.9.9_amd64.deb"
# Links under the names of the temporary files of old: never written through.
ln -s "$tmp/fuera" "$repo/.Release"
ln -s "$tmp/fuera" "$repo/.olvado-updater.gpg"
"$fuente/scripts/lib/repo-apt" "$repo" "$tmp/$version+1.deb" 2>/dev/null
[[ $(cat "$tmp/fuera") == fuera && -L $repo/.Release ]] || falla "repo-apt escribió a través de un enlace plantado"
"${apt[@]}" update --error-on=any >"$tmp/log" 2>&1 || { cat "$tmp/log"; falla "apt-get update tras publicar"; }
"${apt[@]}" upgrade >"$tmp/log" 2>&1 || { cat "$tmp/log"; falla "apt-get upgrade"; }
[[ $(instalada) == "$version+1" ]] || falla "apt-get upgrade dejó '$(instalada)', se esperaba $version+1"

# A newer version, published and then one line of its Release changed in both
# signed forms: apt refuses the whole update and the installed one stays.
renumerar "$version+2"
"$fuente/scripts/lib/repo-apt" "$repo" "$tmp/$version+2.deb" 2>/dev/null
sed -i 's/^Label: .*/&X/' "$repo/dists/estable/Release" "$repo/dists/estable/InRelease"
! "${apt[@]}" update --error-on=any >"$tmp/log" 2>&1 || { cat "$tmp/log"; falla "apt-get update aceptó un Release alterado"; }
grep -q BADSIG "$tmp/log" || { cat "$tmp/log"; falla "apt-get update no rechazó la firma"; }
"${apt[@]}" upgrade >"$tmp/log" 2>&1 || { cat "$tmp/log"; falla "apt-get upgrade tras el rechazo"; }
[[ $(instalada) == "$version+1" ]] || falla "se instaló '$(instalada)' de un Release alterado"
echo "repositorio apt: $version instalada, $version+1 tomada por upgrade, Release alterado rechazado; clave por nombre, paquete cambiado y enlaces plantados rechazados"
