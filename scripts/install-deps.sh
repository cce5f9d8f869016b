#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Velmora need,
# only those that are missing, and any further packages named as arguments.
# Needs root or sudo when something is missing.
set -euo pipefail

packages=(
    g++ cmake ninja-build pkg-config
    qt6-base-dev qt6-charts-dev libqt6opengl6-dev qt6-translations-l10n
    libgl-dev libxkbcommon-dev
    libsqlite3-dev sqlite3
    libzip-dev libfreexl-dev
    fonts-dejavu-core
    poppler-utils
    desktop-file-utils appstream dpkg-dev lintian man-db
    "$@"
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "Instalando paquetes que faltan: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
    as_root=()
elif command -v sudo >/dev/null 2>&1; then
    as_root=(sudo)
else
    echo "Faltan paquetes (${missing[*]}) y no hay permisos de administrador para instalarlos." >&2
    exit 1
fi

export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update
"${as_root[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
