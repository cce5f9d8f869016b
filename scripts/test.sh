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

# A real print system for the printer list test, when run as root.
VELMORA_CUPS_QUEUE="$(bash scripts/cups-queue.sh)"
export VELMORA_CUPS_QUEUE

export QT_QPA_PLATFORM=offscreen
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
cd "$build"
ctest --output-on-failure --timeout 300
