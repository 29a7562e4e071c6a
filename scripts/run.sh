#!/usr/bin/env bash
# Installs what is missing, builds and starts the workbench.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/install-deps.sh"
build="$("$root/scripts/build.sh" | tail -n 1)"
exec "$build/bin/ostrel" "$@"
