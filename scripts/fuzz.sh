#!/usr/bin/env bash
# Builds the libFuzzer targets (fuzz/) with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer in build-fuzz, then runs each one for a bounded
# time on a copy of its seed corpus, two at a time.  A crash, sanitizer
# report, broken property, leak, timeout or memory blow-up fails the script
# with libFuzzer's output and the bytes of the input that caused it.
#   CELDO_FUZZ_SECONDS  seconds each target runs (default 20)
#   CELDO_FUZZ_JOBS     targets run at once (default 2)
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh --fuzz

seconds=${CELDO_FUZZ_SECONDS:-20}
parallel=${CELDO_FUZZ_JOBS:-2}

launcher=()
if command -v ccache >/dev/null; then
    export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=1
    export CCACHE_SLOPPINESS=${CCACHE_SLOPPINESS:-include_file_mtime,include_file_ctime,time_macros}
    launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B build-fuzz -G Ninja "${launcher[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCELDO_BUILD_FUZZ=ON \
    -DCELDO_BUILD_UI=OFF -DCELDO_BUILD_TESTS=OFF -DCELDO_BUILD_BENCH=OFF >/dev/null
cmake --build build-fuzz -j "$(nproc)" --target celdo-fuzz

targets=()
for program in build-fuzz/bin/celdo-fuzz-*; do
    targets+=("${program##*/celdo-fuzz-}")
done

export ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=0
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
work=$(mktemp -d "${TMPDIR:-/tmp}/celdo-fuzz-XXXXXX")
trap 'rm -rf "$work"' EXIT

# Runs one target in its own folder; its exit status goes to a file.
run_target() {
    local name=$1 dir=$work/$1 program=$PWD/build-fuzz/bin/celdo-fuzz-$1
    mkdir -p "$dir/corpus"
    cp -R "build-fuzz/fuzz-seeds/$name/." "$dir/corpus/"
    local status=0
    (cd "$dir" && TMPDIR=$dir timeout $((seconds + 300)) "$program" \
        -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 -print_final_stats=1 \
        -artifact_prefix="$dir/" corpus >"$dir/log" 2>&1) || status=$?
    echo "$status" >"$dir/status"
}

echo "fuzzing ${#targets[@]} targets for ${seconds} s each, $parallel at a time"
for name in "${targets[@]}"; do
    while [ "$(jobs -rp | wc -l)" -ge "$parallel" ]; do
        wait -n || true
    done
    run_target "$name" &
done
wait

failed=0
for name in "${targets[@]}"; do
    dir=$work/$name
    status=$(cat "$dir/status" 2>/dev/null || echo missing)
    last=$(grep -E '^#[0-9]+' "$dir/log" | tail -n 1 || true)
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$dir/log")
    speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$dir/log")
    cover=$(sed -nE 's/.*(cov: [0-9]+ ft: [0-9]+).*/\1/p' <<<"$last")
    artifacts=$(find "$dir" -maxdepth 1 -type f \( -name 'crash-*' -o -name 'leak-*' \
        -o -name 'timeout-*' -o -name 'oom-*' \) | sort)
    if [ "$status" = 0 ] && [ -z "$artifacts" ]; then
        printf '  %-16s ok   %s runs, %s exec/s, %s\n' "$name" "${runs:-?}" "${speed:-?}" "$cover"
        continue
    fi
    failed=1
    printf '  %-16s FAILED (exit %s)\n' "$name" "$status"
    echo "---- libFuzzer output of $name (end) ----"
    tail -n 80 "$dir/log"
    mkdir -p build-fuzz/findings
    for artifact in $artifacts; do
        cp "$artifact" "build-fuzz/findings/$name-${artifact##*/}"
        echo "---- reproducer ${artifact##*/} ($(stat -c %s "$artifact") bytes) ----"
        od -An -tx1 -v "$artifact" | head -n 256
    done
done
if [ $failed -ne 0 ]; then
    echo "fuzzing: findings above, reproducers kept in build-fuzz/findings;" \
        "run one with build-fuzz/bin/celdo-fuzz-<target> FILE" >&2
    exit 1
fi
echo "fuzzing: ok"
