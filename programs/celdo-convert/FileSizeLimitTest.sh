#!/usr/bin/env bash
# bash FileSizeLimitTest.sh CONVERT SAMPLE WORK
# A conversion whose output passes the file-size limit fails with exit 1 and
# "書込エラー", keeps the file it would have replaced and leaves no temporary
# file; the limit's signal does not end the converter.
set -u
convert=$1
sample=$2
work=$3
rm -rf "$work"
mkdir -p "$work"
printf 'old' >"$work/out.bmp"
(
    ulimit -f 2
    "$convert" "$sample" "$work/out.bmp" 2>"$work/err.txt"
)
code=$?
if [ "$code" -ne 1 ]; then
    echo "exit $code, expected 1" >&2
    exit 1
fi
if ! grep -q '書込エラー' "$work/err.txt"; then
    echo "no write error message:" >&2
    cat "$work/err.txt" >&2
    exit 1
fi
if [ "$(cat "$work/out.bmp")" != "old" ]; then
    echo "the previous file changed" >&2
    exit 1
fi
left=$(ls -A "$work" | sort | tr '\n' ' ')
if [ "$left" != "err.txt out.bmp " ]; then
    echo "left behind: $left" >&2
    exit 1
fi
