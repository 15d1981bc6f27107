#!/usr/bin/env bash
# Builds what is missing and opens the bundled sample set.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)"
build/bin/celdo-convert --info data/samples/doll.cel && build/bin/celdo-convert --palette data/samples/doll.kcf --kind 32 data/samples/doll.cel build/doll-truecolour.cel && exec build/bin/celdo-convert --info build/doll-truecolour.cel
