#!/usr/bin/env bash
# Installs what is missing, builds, and starts Velmora.
#   ./run.sh            the program (its database beside it in build/bin)
#   ./run.sh --demo     the program with a simulated reminder and a demo
#                       database in a scratch folder (scripts/demo.sh)
set -euo pipefail
root="$(cd "$(dirname "$0")" && pwd)"
"$root/scripts/setup.sh"
if [ "${1:-}" = "--demo" ]; then
  shift
  exec "$root/scripts/demo.sh" "$@"
fi
exec "$root/build/bin/velmora" "$@"
