#!/usr/bin/env bash
# Checks the tree (formatting, the layer ladder), then builds and runs every
# test twice: a normal build and an AddressSanitizer +
# UndefinedBehaviorSanitizer build; last the readers are fuzzed for a short
# while (scripts/fuzz.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

echo "== tree checks =="
bash scripts/check-format.sh
bash scripts/check-ladder.sh

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

# A second run on the same machine reuses the compiled objects, from any
# checkout folder.
launcher=()
if command -v ccache >/dev/null; then
    export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=1
    export CCACHE_SLOPPINESS=${CCACHE_SLOPPINESS:-include_file_mtime,include_file_ctime,time_macros}
    launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi

run_suite() {
    local dir=$1; shift
    cmake -S . -B "$dir" -G Ninja "${launcher[@]}" "$@" >/dev/null
    cmake --build "$dir" -j "$jobs"
    ctest --test-dir "$dir" --output-on-failure -j "$jobs"
}

echo "== normal build =="
run_suite build -DCMAKE_BUILD_TYPE=RelWithDebInfo
echo "== sanitizer build =="
# Qt's and fontconfig's caches live for the whole process; only the engine's
# own leaks matter, and those are found by the engine tests.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/scripts/lsan.supp:print_suppressions=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
run_suite build-asan -DCMAKE_BUILD_TYPE=Debug -DCELDO_SANITIZE=ON -DCELDO_BUILD_BENCH=OFF
echo "== fuzzing =="
bash scripts/fuzz.sh
