#!/usr/bin/env bash
# Installs what is missing, builds, and starts the window program.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target cuijian
exec build/app/cuijian
