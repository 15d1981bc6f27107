#!/usr/bin/env bash
# Fails on an #include that climbs the layer ladder written in src/README.md.
# Engine folders, bottom first; a folder may include itself and the folders
# of a lower rank.  core and framework share the bottom rank and do not
# include each other.
set -euo pipefail
cd "$(dirname "$0")/../src"

declare -A rank=([core]=0 [framework]=0 [palette]=1 [formats]=2 [boards]=3 [sets]=3 [canvas]=4
                 [history]=5 [plugins]=5 [app]=6)

failures=0
climb() {
    echo "src/$1:$2: $3 climbs the ladder: $4" >&2
    failures=$((failures + 1))
}

while IFS= read -r -d '' file; do
    folder=${file%%/*}
    [ -n "${rank[$folder]+set}" ] || continue # the ui shell may include anything
    qt=0
    case $file in "$folder"/qt/*) qt=1 ;; esac
    while IFS=: read -r line text; do
        target=$(sed -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^"]*)".*/\1/' <<<"$text")
        top=${target%%/*}
        [ "$top" != "$target" ] || continue # a name without a folder
        if [ "$top" = ui ]; then
            climb "$file" "$line" "$target" "only the shell (src/ui) includes the shell"
            continue
        fi
        [ -n "${rank[$top]+set}" ] || continue # not one of our folders
        case $target in
        */qt/*)
            if [ $qt = 0 ]; then
                climb "$file" "$line" "$target" "engine code includes no Qt adapter"
            elif [ "$top" != "$folder" ] && [ "$top" != framework ]; then
                climb "$file" "$line" "$target" "a Qt adapter includes only its own folder's adapters and framework/qt"
            fi
            ;;
        *)
            if [ $qt = 0 ] && [ "$top" != "$folder" ] && [ "${rank[$top]}" -ge "${rank[$folder]}" ]; then
                climb "$file" "$line" "$target" "$folder may include only folders below it"
            fi
            ;;
        esac
    done < <(grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file" || true)
done < <(find . \( -name '*.h' -o -name '*.cpp' \) -print0 | sed -z 's|^\./||')

if [ $failures -gt 0 ]; then
    echo "layer ladder: $failures include(s) climb it (see src/README.md)" >&2
    exit 1
fi
echo "layer ladder: ok"
