#!/usr/bin/env bash
# Installs the Debian packages that the build, the tests and the benchmarks need, when missing.
# Usage: tools/deps.sh [extra packages...]
set -euo pipefail

packages=(
  g++ cmake ninja-build pkgconf clang-format
  ca-certificates qt6-base-dev libcurl4-openssl-dev libgtest-dev libgmock-dev libbenchmark-dev libcpp-httplib-dev
  clang libclang-rt-14-dev
  fonts-wqy-microhei
  "$@"
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
