#!/usr/bin/env bash
# Installs a build into a scratch prefix and packs it with CPack, then checks that
# both hold the programs, the menu entry, the icons, the metainfo, the manual
# pages, the copyright and the changelog and nothing else, that the desktop's own
# validators accept those files, that they name one another rightly, that the
# .deb depends on every library the programs load, and that lintian finds no
# error in it.
set -euo pipefail

build=$(cd "$1" && pwd)
app=org.velmora.Velmora
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
    echo "FALLO: $*" >&2
    exit 1
}

expected=(
    bin/velmora
    bin/velmora-admin
    libexec/velmora/velmora-xls
    "share/applications/$app.desktop"
    "share/metainfo/$app.metainfo.xml"
    "share/icons/hicolor/scalable/apps/$app.svg"
    "share/icons/hicolor/48x48/apps/$app.png"
    "share/icons/hicolor/256x256/apps/$app.png"
    share/doc/velmora/copyright
    share/doc/velmora/changelog.gz
    share/man/man1/velmora.1.gz
    share/man/man1/velmora-admin.1.gz
)
printf '%s\n' "${expected[@]}" | sort >"$work/expected"

# --- the installation ---------------------------------------------------------
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
(cd "$prefix" && find . -type f -printf '%P\n' | sort) >"$work/installed"
diff -u "$work/expected" "$work/installed" ||
    fail "la instalación no tiene exactamente los archivos esperados"
for b in velmora velmora-admin; do
    [ -x "$prefix/bin/$b" ] || fail "$b no es ejecutable"
done
# The programs look for their helper in ../libexec/velmora from their own folder.
[ -x "$prefix/bin/../libexec/velmora/velmora-xls" ] || fail "velmora-xls no es ejecutable"

# Width and height of a PNG, from its IHDR chunk.
png_size() {
    od -An -tu1 -j16 -N8 "$1" |
        awk '{ print $1*16777216 + $2*65536 + $3*256 + $4 "x" $5*16777216 + $6*65536 + $7*256 + $8 }'
}
for size in 48x48 256x256; do
    got=$(png_size "$prefix/share/icons/hicolor/$size/apps/$app.png")
    [ "$got" = "$size" ] || fail "el icono de $size mide $got"
done

desktop=$prefix/share/applications/$app.desktop
metainfo=$prefix/share/metainfo/$app.metainfo.xml
desktop-file-validate "$desktop" || fail "desktop-file-validate rechaza $app.desktop"
appstreamcli validate --no-net "$metainfo" >"$work/appstream" 2>&1 ||
    { cat "$work/appstream" >&2; fail "appstreamcli rechaza $app.metainfo.xml"; }

# The menu entry starts an installed program and shows the icon installed; the
# metainfo carries the same id and launches that menu entry.
exec_line=$(sed -n 's/^Exec=//p' "$desktop")
[ -x "$prefix/bin/${exec_line%% *}" ] || fail "Exec=$exec_line no es un programa instalado"
[ "$(sed -n 's/^Icon=//p' "$desktop")" = "$app" ] || fail "Icon= no es $app"
grep -q "<id>$app</id>" "$metainfo" || fail "la metainfo no tiene el id $app"
grep -q "<launchable type=\"desktop-id\">$app.desktop</launchable>" "$metainfo" ||
    fail "la metainfo no lanza $app.desktop"

# Each manual page reads without a warning and names its program; the changelog
# is Debian's, for the version the project builds.
for b in velmora velmora-admin; do
    page=$prefix/share/man/man1/$b.1.gz
    text=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>"$work/man") ||
        fail "man no lee $b.1"
    [ ! -s "$work/man" ] || { cat "$work/man" >&2; fail "man avisa de errores en $b.1"; }
    grep -q "^       $b " <<<"$text" || fail "$b.1 no nombra $b"
done
changelog_version=$(gzip -dc "$prefix/share/doc/velmora/changelog.gz" |
    sed -n '1s/^velmora (\([^)]*\)).*/\1/p')

# --- the .deb -----------------------------------------------------------------
cpack -G DEB -B "$work/deb" --config "$build/CPackConfig.cmake" >"$work/cpack" 2>&1 ||
    { cat "$work/cpack" >&2; fail "cpack no construye el paquete"; }
debs=("$work"/deb/velmora_*.deb)
if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
    fail "cpack no deja un velmora_*.deb"
fi
deb=${debs[0]}
dpkg-deb -I "$deb" >/dev/null || fail "dpkg-deb no lee el paquete"

[ "$(dpkg-deb -f "$deb" Package)" = velmora ] || fail "el paquete no se llama velmora"
arch=$(dpkg --print-architecture)
[ "$(dpkg-deb -f "$deb" Architecture)" = "$arch" ] || fail "la arquitectura no es $arch"
version=$(dpkg-deb -f "$deb" Version)
[ "$changelog_version" = "$version" ] ||
    fail "el changelog es de la versión «$changelog_version», el paquete de la $version"
grep -q "<release version=\"$version\"" "$metainfo" ||
    fail "la metainfo no tiene una entrada <release> para la versión $version"

dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' | sed 's|^\./usr/||' | sort >"$work/packed"
diff -u "$work/expected" "$work/packed" ||
    fail "el paquete no tiene exactamente los archivos esperados bajo /usr"

# One "name (version)" or "name" a line.
depends=$(dpkg-deb -f "$deb" Depends | tr ',' '\n' | sed 's/^ *//; s/ *$//')
dependency() { awk -v name="$1" '$1 == name' <<<"$depends"; }

# The platform plugin is loaded at run time, so no tool finds it; the rest are
# the libraries the programs link.
for p in libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6 libqt6charts6 \
    libsqlite3-0 qt6-qpa-plugins; do
    [ -n "$(dependency "$p")" ] || fail "Depends no incluye $p: $depends"
done

# Whatever dpkg-shlibdeps finds the programs need must be in Depends, at the
# same version or a later one. The sanitizer runtimes belong to the test build.
mkdir -p "$work/shlibs/debian"
printf 'Source: velmora\n\nPackage: velmora\nArchitecture: any\n' >"$work/shlibs/debian/control"
found=$(cd "$work/shlibs" &&
    dpkg-shlibdeps -O "$prefix/bin/velmora" "$prefix/bin/velmora-admin" \
        "$prefix/libexec/velmora/velmora-xls" 2>/dev/null |
    sed -n 's/^shlibs:Depends=//p')
[ -n "$found" ] || fail "dpkg-shlibdeps no encuentra ninguna dependencia"
while IFS= read -r need; do
    name=${need%% *}
    case $name in libasan* | libubsan* | liblsan* | libtsan* | '') continue ;; esac
    ours=$(dependency "$name")
    [ -n "$ours" ] || fail "Depends no incluye $need, que dpkg-shlibdeps encuentra"
    wanted=$(sed -n 's/.*(>= *\(.*\))/\1/p' <<<"$need")
    [ -z "$wanted" ] && continue
    have=$(sed -n 's/.*(>= *\(.*\))/\1/p' <<<"$ours")
    if [ -z "$have" ] || ! dpkg --compare-versions "$have" ge "$wanted"; then
        fail "Depends pide $ours, pero hace falta $need"
    fi
done < <(tr ',' '\n' <<<"$found" | sed 's/^ *//; s/ *$//')

# Debian's own checks of a package; warnings are told, errors fail.
lintian --tag-display-limit 0 "$deb" >"$work/lintian" 2>&1 || true
grep -v 'running with root privileges' "$work/lintian" || true
if grep -q '^E: ' "$work/lintian"; then
    fail "lintian encuentra errores en el paquete"
fi

echo "instalación y paquete correctos: $(du -h "$deb" | cut -f1) $(basename "$deb")"
