#!/usr/bin/env bash
# Installs the Debian packages listed in scripts/packages.txt that are
# missing (nothing when all are there), then configures and builds into
# build/. Sourced by run.sh and test.sh.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

mapfile -t wanted < <(grep -vE '^\s*(#|$)' "$root/scripts/packages.txt")
"$root/scripts/install-missing.sh" "${wanted[@]}"

jobs="$(nproc 2>/dev/null || echo 2)"
if [ ! -f "$root/build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$root/build" -j "$jobs"
