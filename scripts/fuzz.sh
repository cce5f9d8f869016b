#!/usr/bin/env bash
# Builds the fuzz targets with clang and libFuzzer under AddressSanitizer and
# UndefinedBehaviorSanitizer in build/fuzz, and runs each for SECONDS (60 unless
# told), one after another, on its corpus tests/fuzz/corpus/<target>. Inputs that
# reach new code are merged back into that folder. Naming targets runs only those.
# Exits non-zero when a target failed, leaving the input in build/fuzz/findings.
#
#   scripts/fuzz.sh [SECONDS] [TARGET...]     e.g. scripts/fuzz.sh 600 amount date
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
shift || true
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    targets=(amount date settings filter yearname csv norma43 xlsx xls bankcsv)
fi

# clang-14 only recommends the runtime that holds libFuzzer.
bash scripts/install-deps.sh clang libclang-rt-14-dev

build=build/fuzz
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++ -DVELMORA_FUZZ=ON -DVELMORA_WERROR=ON >/dev/null
cmake --build "$build" -j2 --target "${targets[@]/#/fuzz_}"

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
export QT_QPA_PLATFORM=offscreen LANG=C.UTF-8 LC_ALL=C.UTF-8 TZ=Europe/Madrid

failed=()
for target in "${targets[@]}"; do
    corpus=tests/fuzz/corpus/$target
    found=$build/found/$target
    log=$build/logs/$target.log
    mkdir -p "$corpus" "$found" "$build/logs" "$build/findings"
    echo "== fuzz_$target: $seconds s"
    # New inputs go to the scratch folder first; the corpus receives only those
    # that add coverage.
    status=0
    nice -n 15 "$build/bin/fuzz_$target" -max_total_time="$seconds" -print_final_stats=1 \
        -artifact_prefix="$build/findings/$target-" "$found" "$corpus" >"$log" 2>&1 ||
        status=$?
    nice -n 15 "$build/bin/fuzz_$target" -merge=1 "$corpus" "$found" >>"$log" 2>&1 || true
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    echo "   ${runs:-?} ejecuciones; corpus: $(find "$corpus" -type f | wc -l) entradas"
    if [ "$status" -ne 0 ]; then
        echo "   FALLO (código $status): véase $log y $build/findings/" >&2
        failed+=("$target")
    fi
done

if [ ${#failed[@]} -ne 0 ]; then
    echo "Objetivos con fallos: ${failed[*]}" >&2
    exit 1
fi
