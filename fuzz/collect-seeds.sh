#!/usr/bin/env bash
# Gathers a seed corpus folder per fuzz target from the project's sample and
# data files, the shared conformance files and fuzz/seeds.
#   collect-seeds.sh SOURCE_DIR OUTPUT_DIR
set -euo pipefail
source_dir=$1
out=$2
# As tests/support/TestData.cpp finds the conformance files.
testdata=${CELDO_TESTDATA:-$source_dir/../shared/testdata}
# Large seeds only slow every run down; small ones cover the same code.
max_bytes=24576

rm -rf "$out"
mkdir -p "$out"

# A seed's name: its path below the checkout or the conformance folder, so
# files of the same name in different folders stay apart.
seed_name() {
    local file=$1
    case $file in
    "$testdata"/*) file=shared_${file#"$testdata"/} ;;
    "$source_dir"/*) file=${file#"$source_dir"/} ;;
    esac
    printf '%s' "$file" | tr '/' '_'
}

# add TARGET FILE...: copies each regular file of at most max_bytes.
add() {
    local target=$1
    shift
    mkdir -p "$out/$target"
    local file name
    for file in "$@"; do
        [ -f "$file" ] || continue
        [ "$(stat -c %s "$file")" -le $max_bytes ] || continue
        cp "$file" "$out/$target/$(seed_name "$file")"
    done
}

# find_files FOLDER PATTERN...: the matching files below FOLDER, sorted.
find_files() {
    local folder=$1
    shift
    [ -d "$folder" ] || return 0
    local args=() pattern
    for pattern in "$@"; do
        [ ${#args[@]} -eq 0 ] || args+=(-o)
        args+=(-iname "$pattern")
    done
    find "$folder" -type f \( "${args[@]}" \) | LC_ALL=C sort
}

if [ ! -d "$testdata" ]; then
    echo "collect-seeds: no conformance files at $testdata; seeding from the project only" >&2
fi

mapfile -t cells < <(find_files "$source_dir/data" '*.cel')
mapfile -t palettes < <(find_files "$source_dir/data" '*.kcf')
mapfile -t bitmaps < <(find_files "$source_dir/data" '*.bmp'; find_files "$testdata/bmp" '*.bmp')
mapfile -t mags < <(find_files "$testdata/mag" '*.mag')
mapfile -t icons < <(find_files "$testdata/ico" '*.ico' '*.cur')
mapfile -t pngs < <(find_files "$testdata" '*.png')

for target in kiss-cell kiss-palette bmp png mag icon mask-file clipboard-dib clipboard-mask \
    settings plugin-result command-line cnf; do
    mapfile -t own < <(find_files "$source_dir/fuzz/seeds/$target" '*')
    add "$target" "${own[@]}"
done
add kiss-cell "${cells[@]}"
add kiss-palette "${palettes[@]}"
add bmp "${bitmaps[@]}"
add mag "${mags[@]}"
add mask-file "${mags[@]}"
add icon "${icons[@]}"
add png "${pngs[@]}"
add clipboard-dib "${bitmaps[@]}"

# Bare bitmaps, as other programs put them on the clipboard, and filter
# results (information block length, the block, the pixels): both are a
# bitmap file without its 14-byte file header.
mkdir -p "$out/clipboard-dib" "$out/plugin-result"
for file in "${bitmaps[@]}"; do
    [ "$(stat -c %s "$file")" -le $max_bytes ] || continue
    [ "$(head -c 2 "$file")" = BM ] || continue
    name=$(seed_name "$file")
    tail -c +15 "$file" >"$out/clipboard-dib/bare_$name"
    offset=$(od -An -tu4 -j10 -N4 "$file" | tr -d ' ')
    size=$(stat -c %s "$file")
    [ "$offset" -gt 14 ] && [ "$offset" -le "$size" ] && [ $((offset - 14)) -le 65535 ] || continue
    info=$((offset - 14))
    {
        printf "\\x$(printf %02x $((info & 255)))\\x$(printf %02x $((info >> 8)))"
        tail -c +15 "$file"
    } >"$out/plugin-result/$name"
done

for target in "$out"/*/; do
    echo "  $(basename "$target"): $(find "$target" -type f | wc -l) seeds"
done
