#!/usr/bin/env bash
# Installs the Debian packages the build needs when they are missing (needs root then).
set -euo pipefail
packages=(cmake ninja-build g++ libpugixml-dev nlohmann-json3-dev libgtest-dev libgmock-dev libbenchmark-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "installing: ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
  echo "packages missing and not root: run scripts/install-deps.sh as root" >&2
  exit 1
fi
apt-get update -qq
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
