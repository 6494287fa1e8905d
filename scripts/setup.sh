#!/usr/bin/env bash
# Installs what the build needs, builds the add-in module and the command line, registers the
# module in the build's registry file, and solves the bundled example cases through the loaded
# module.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DDORVIX_TESTS=OFF
cmake --build build
# The module is registered in the registry file beside the command line (build/tools/dorvix/dorvix.reg),
# which the command line reads when DORVIX_REGISTRY is not set.
./build/tools/dorvix/dorvix register
# The command line starts the solver from the folder DVX_EXE names; the build carries the
# stand-in solver in build/solver.
export DVX_EXE="$PWD/build/solver"
for example in examples/block examples/block-nonlinear examples/thermal-steady examples/thermal-transient \
  examples/modal; do
  ./build/tools/dorvix/dorvix "$example"
done
# The buckling example is prestressed by a static solve in its own work folder.
./build/tools/dorvix/dorvix examples/prestress --work examples/buckling/run
./build/tools/dorvix/dorvix examples/buckling
