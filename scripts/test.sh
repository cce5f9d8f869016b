#!/usr/bin/env bash
# Installs what is missing, builds the test configuration under AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs every test on the offscreen platform.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

build=build/test
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DVELMORA_TESTS=ON -DVELMORA_SANITIZE=ON -DVELMORA_WERROR=ON >/dev/null
cmake --build "$build"

# A real print system for the printer tests, when run as root.
VELMORA_CUPS_QUEUE="$(bash scripts/cups-queue.sh)"
export VELMORA_CUPS_QUEUE
if [ -n "$VELMORA_CUPS_QUEUE" ]; then
    # Where cups-pdf leaves the files this user prints: its Out setting, where
    # ${HOME} and ${USER} stand for the user who sent the job.
    user=$(id -un)
    home=$(getent passwd "$user" | cut -d: -f6 || true)
    home=${home:-$HOME}
    out=$(sed -n 's/^[[:space:]]*Out[[:space:]]\+//p' /etc/cups/cups-pdf.conf 2>/dev/null |
        tail -n 1 || true)
    out=${out%"${out##*[![:space:]]}"}
    out=${out:-'${HOME}/PDF'}
    out=${out//'${HOME}'/$home}
    VELMORA_CUPS_PDF_DIR=${out//'${USER}'/$user}
    if ! mkdir -p "$VELMORA_CUPS_PDF_DIR"; then
        echo "No se puede crear $VELMORA_CUPS_PDF_DIR; las pruebas de impresión se saltan." >&2
        VELMORA_CUPS_PDF_DIR=
    fi
    export VELMORA_CUPS_PDF_DIR
fi

export QT_QPA_PLATFORM=offscreen
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
cd "$build"
ctest --output-on-failure --timeout 300
