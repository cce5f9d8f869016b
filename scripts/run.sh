#!/usr/bin/env bash
# Sets up and starts Velmora: installs what is missing, builds a release build,
# creates a demonstration installation on the first run, and starts the program.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

build=build/release
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build"

bin="$build/bin"
if [ ! -f "$bin/ruta.ini" ]; then
    data_root="${VELMORA_DATA_ROOT:-$HOME/Velmora}"
    year="$(date +%Y)"
    "$bin/velmora-admin" init "$data_root" "$year"
    "$bin/velmora-admin" demo
fi
# Installations made before the program compacted in it lack this folder.
mkdir -p "$bin/Datos"

exec "$bin/velmora"
