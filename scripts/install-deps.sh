#!/usr/bin/env bash
# Installs the Debian packages the build needs when they are missing (needs root then). The
# second compiler and the fuzz targets' runtime are installed too when this runs as root; without
# them the clang build and the fuzz targets are skipped, so their absence alone does not stop a
# user who is not root.
set -euo pipefail
packages=(cmake ninja-build g++ libpugixml-dev nlohmann-json3-dev libgtest-dev libgmock-dev libbenchmark-dev
  clang-format)
fuzzing=(clang libclang-rt-14-dev)
is_missing() { ! dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }
missing=()
for p in "${packages[@]}"; do is_missing "$p" && missing+=("$p"); done
missing_fuzzing=()
for p in "${fuzzing[@]}"; do is_missing "$p" && missing_fuzzing+=("$p"); done
[ ${#missing[@]} -eq 0 ] && [ ${#missing_fuzzing[@]} -eq 0 ] && exit 0
if [ "$(id -u)" -ne 0 ]; then
  if [ ${#missing[@]} -eq 0 ]; then
    echo "note: not root, so not installing ${missing_fuzzing[*]} (needed only by the clang build and the fuzz targets)"
    exit 0
  fi
  echo "packages missing and not root: run scripts/install-deps.sh as root" >&2
  exit 1
fi
echo "installing: ${missing[*]} ${missing_fuzzing[*]}"
apt-get update -qq
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" "${missing_fuzzing[@]}"
