#!/usr/bin/env bash
# Builds what is missing and opens the bundled sample set.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)"
exec build/bin/celdom data/samples/doll.kcf data/samples/doll.cel data/samples/dress.cel data/samples/doll.cnf
