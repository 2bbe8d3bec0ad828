#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test.
set -euo pipefail
root="$(cd "$(dirname "$0")" && pwd)"
"$root/scripts/setup.sh"
cd "$root/build"
ctest --output-on-failure -j "$(nproc 2>/dev/null || echo 2)" "$@"
