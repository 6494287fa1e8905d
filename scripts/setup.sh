#!/usr/bin/env bash
# Installs what the build needs, builds the add-in and the command line, and runs the
# command line on the bundled example case.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DDORVIX_TESTS=OFF
cmake --build build
./build/tools/dorvix/dorvix examples/block
