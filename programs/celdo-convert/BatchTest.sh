#!/usr/bin/env bash
# bash BatchTest.sh CONVERT SAMPLE WORK
# The batch form (--to FORMAT -o DIR IN...): 200 cells made from the sample
# cell's pixels go to BMP and MAG and come back byte for byte; every output
# equals the one-file conversion of its input; two jobs write what one
# writes; a bad file in the middle fails alone; existing outputs are kept
# without --overwrite; a folder stands for its files of known formats.
set -u
convert=$1
sample=$2
work=$3
rm -rf "$work"
mkdir -p "$work/cells"

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# Runs the converter with standard error in $work/err.txt; `expected` is the
# exit code.
run() {
    local expected=$1
    shift
    "$convert" "$@" >"$work/out.txt" 2>"$work/err.txt"
    local code=$?
    if [ "$code" -ne "$expected" ]; then
        fail "celdo-convert $*: exit $code, expected $expected"
        cat "$work/err.txt" >&2
    fi
}

# The standard error of the last run holds the text.
says() {
    if ! grep -qF -- "$1" "$work/err.txt"; then
        fail "standard error lacks '$1'"
        cat "$work/err.txt" >&2
    fi
}

# Every file of folder $1 equals the file of the same name in folder $2, and
# both hold exactly `count` files.
same_folders() {
    local count=$3
    local a b
    a=$(ls -A "$1" | wc -l)
    b=$(ls -A "$2" | wc -l)
    if [ "$a" -ne "$count" ] || [ "$b" -ne "$count" ]; then
        fail "$1 holds $a files, $2 holds $b, expected $count each"
        return
    fi
    for file in "$1"/*; do
        cmp -s "$file" "$2/$(basename "$file")" || fail "$file and $2/$(basename "$file") differ"
    done
}

# 200 distinct 256-colour cells without offsets, which BMP and MAG hold
# whole: cell i is (8 + i % 23) × (4 + i % 17) pixels, the first pixel i and
# the rest taken from the sample's pixels from byte i on.
byte() {
    printf "\\x$(printf %02x "$1")"
}
for i in $(seq 0 199); do
    width=$((8 + i % 23))
    height=$((4 + i % 17))
    name=$(printf 'cell%03d.cel' "$i")
    {
        printf 'KiSS\x20\x08\x00\x00'
        byte "$width"
        printf '\x00'
        byte "$height"
        printf '\x00'
        head -c 20 /dev/zero
        byte "$i"
        tail -c +$((33 + i)) "$sample" | head -c $((width * height - 1))
    } >"$work/cells/$name"
done
run 0 --info "$work/cells/cell077.cel"
grep -q '"width":16,"height":13,"bits":8,"offsetX":0,"offsetY":0' "$work/out.txt" ||
    fail "cell077.cel is not the 16 × 13 cell meant: $(cat "$work/out.txt")"
# 199: 23 × 16 pixels after the 32-byte header.
[ "$(stat -c %s "$work/cells/cell199.cel")" -eq 400 ] || fail "cell199.cel has the wrong size"

# There and back in one command each.
run 0 --to bmp -o "$work/bmp" "$work/cells"
says "200 converted, 0 skipped, 0 failed"
run 0 --info "$work/bmp/cell077.bmp"
grep -q '"width":16,"height":13,"bits":8,"compression":0,"colours":256' "$work/out.txt" ||
    fail "cell077.bmp is not an 8-bit bitmap: $(cat "$work/out.txt")"
run 0 --to cel -o "$work/from-bmp" "$work/bmp"
says "200 converted, 0 skipped, 0 failed"
same_folders "$work/cells" "$work/from-bmp" 200

run 0 --to MAG -o "$work/mag" "$work/cells"
says "200 converted, 0 skipped, 0 failed"
run 0 --to cel -o "$work/from-mag" "$work/mag"
same_folders "$work/cells" "$work/from-mag" 200

# Each output is what the one-file form writes for its input.
mkdir -p "$work/single"
for cell in "$work/cells"/*.cel; do
    name=$(basename "$cell" .cel)
    "$convert" "$cell" "$work/single/$name.bmp" || fail "one-file conversion of $cell failed"
done
same_folders "$work/single" "$work/bmp" 200

# One job and two jobs write the same bytes.
run 0 --jobs 1 --to mag -o "$work/mag1" "$work/cells"
run 0 --jobs 2 --to mag -o "$work/mag2" "$work/cells"
same_folders "$work/mag1" "$work/mag2" 200
same_folders "$work/mag" "$work/mag2" 200
run 0 --jobs 2 --to bmp -o "$work/bmp2" "$work/cells"
same_folders "$work/bmp" "$work/bmp2" 200

# The options apply to each file as to one converted alone: true-colour
# cells with a palette's colours, then reduced onto its group.
palette=$(dirname "$sample")/doll.kcf
mkdir -p "$work/some" "$work/reduced-single"
cp "$work/cells"/cell0[0-1]?.cel "$work/some/"
run 0 --jobs 2 --palette "$palette" --group 1 --kind 32 --to cel -o "$work/true" "$work/some"
says "20 converted, 0 skipped, 0 failed"
run 0 --info "$work/true/cell007.cel"
grep -q '"bits":32' "$work/out.txt" || fail "cell007.cel is not true colour: $(cat "$work/out.txt")"
run 0 --jobs 2 --reduce --palette "$palette" --group 1 --to bmp -o "$work/reduced" "$work/true"
says "20 converted, 0 skipped, 0 failed"
for cell in "$work/true"/*.cel; do
    name=$(basename "$cell" .cel)
    "$convert" --reduce --palette "$palette" --group 1 "$cell" "$work/reduced-single/$name.bmp" ||
        fail "one-file reduction of $cell failed"
done
same_folders "$work/reduced-single" "$work/reduced" 20

# A cut cell and a garbage cell among them: the others are converted, the
# two are listed with the program's message in the order of their names,
# and the exit status says so.
mkdir -p "$work/mixed"
cp "$work/cells"/*.cel "$work/mixed/"
head -c 40 "$work/cells/cell150.cel" >"$work/mixed/cell099-cut.cel"
printf 'KiSS  garbage' >"$work/mixed/cell100-bad.cel"
run 1 --jobs 2 --to bmp -o "$work/mixed-out" "$work/mixed"
says "cell099-cut.cel: 読込エラー"
says "cell100-bad.cel: 読込エラー"
says "200 converted, 0 skipped, 2 failed"
if ! grep -n . "$work/err.txt" | grep -A1 'cell099-cut.cel: 読込エラー' | grep -q 'cell100-bad.cel'; then
    fail "the failures are not listed in the order of the files"
    cat "$work/err.txt" >&2
fi
same_folders "$work/bmp" "$work/mixed-out" 200

# An existing output is kept and counted as skipped; --overwrite replaces
# it.
printf 'old' >"$work/mixed-out/cell042.bmp"
run 0 --to bmp -o "$work/mixed-out" "$work/cells"
says "0 converted, 200 skipped, 0 failed"
says "cell042.bmp: exists, skipped (--overwrite replaces it)"
[ "$(cat "$work/mixed-out/cell042.bmp")" = old ] || fail "cell042.bmp was overwritten"
rm "$work/mixed-out/cell043.bmp"
run 0 --to bmp -o "$work/mixed-out" "$work/cells"
says "1 converted, 199 skipped, 0 failed"
cmp -s "$work/mixed-out/cell043.bmp" "$work/single/cell043.bmp" || fail "cell043.bmp was not made again"
run 0 --overwrite --to bmp -o "$work/mixed-out" "$work/cells"
says "200 converted, 0 skipped, 0 failed"
same_folders "$work/single" "$work/mixed-out" 200

# A folder stands for its pictures of known formats (its palettes for a
# palette output), not for other files nor, without --recursive, for the
# folders in it; named files are taken as they are.
mkdir -p "$work/folder/sub" "$work/folder/dir.cel"
cp "$work/cells/cell001.cel" "$work/folder/a.cel"
cp "$work/bmp/cell002.bmp" "$work/folder/b.BMP"
cp "$work/cells/cell003.cel" "$work/folder/c.txt"
cp "$work/bmp/cell004.bmp" "$work/folder/noname"
printf 'KiSS' >"$work/folder/d.kcf"
cp "$work/cells/cell005.cel" "$work/folder/sub/e.cel"
run 0 --to mag -o "$work/picked" "$work/folder"
says "2 converted, 0 skipped, 0 failed"
[ "$(ls "$work/picked" | tr '\n' ' ')" = "a.mag b.mag " ] || fail "picked: $(ls "$work/picked")"
cmp -s "$work/picked/a.mag" "$work/mag/cell001.mag" || fail "a.mag differs from cell001.mag"
cmp -s "$work/picked/b.mag" "$work/mag/cell002.mag" || fail "b.mag differs from cell002.mag"
run 0 --recursive --to mag -o "$work/picked-all" "$work/folder"
says "3 converted, 0 skipped, 0 failed"
[ "$(ls "$work/picked-all" | tr '\n' ' ')" = "a.mag b.mag e.mag " ] || fail "picked with --recursive: $(ls "$work/picked-all")"
run 1 --to kcf -o "$work/picked-kcf" "$work/folder"
says "d.kcf: 読込エラー"
says "0 converted, 0 skipped, 1 failed"
run 0 --to mag -o "$work/named" "$work/folder/noname"
says "1 converted, 0 skipped, 0 failed"
cmp -s "$work/named/noname.mag" "$work/mag/cell004.mag" || fail "noname.mag differs from cell004.mag"

# Two inputs of one output name: the first is converted, the second fails.
run 1 --to mag -o "$work/twice" "$work/folder/a.cel" "$work/mixed-out/cell001.bmp" "$work/cells/cell001.cel"
says "cell001.cel: $work/twice/cell001.mag is already the output of $work/mixed-out/cell001.bmp"
says "2 converted, 0 skipped, 1 failed"
cmp -s "$work/twice/cell001.mag" "$work/mag/cell001.mag" || fail "twice/cell001.mag differs"

# No temporary file is left anywhere.
left=$(find "$work" -name '@@gf*')
[ -z "$left" ] || fail "temporary files left: $left"

# Usage errors.
run 2 --to bmp "$work/cells"
says "usage:"
run 2 -o "$work/x" "$work/cells"
says "usage:"
run 2 --to txt -o "$work/x" "$work/cells"
says "usage:"
run 2 --to bmp -o "$work/x"
says "usage:"
run 2 --jobs 0 --to bmp -o "$work/x" "$work/cells"
says "usage:"
run 2 --overwrite "$work/cells/cell001.cel" "$work/x.bmp"
says "usage:"
run 2 --kind 16 --to bmp -o "$work/x" "$work/cells"
says "usage:"
run 2 --info --to bmp -o "$work/x" "$work/cells/cell001.cel"
says "usage:"
run 2 --group 1 --to bmp -o "$work/x" "$work/cells"
says "usage:"
[ ! -e "$work/x" ] || fail "a usage error made the output folder"

if [ "$failures" -ne 0 ]; then
    echo "$failures failures" >&2
    exit 1
fi
