#!/usr/bin/env bash
# Installs what is missing, builds, and starts Velmora.
set -euo pipefail
root="$(cd "$(dirname "$0")" && pwd)"
"$root/scripts/setup.sh"
exec "$root/build/bin/velmora" "$@"
