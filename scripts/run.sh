#!/usr/bin/env bash
# Installs what is missing, builds the workbench and starts it. Only the
# executable is built (its configuration is copied beside it as part of it):
# the tests, fuzz targets and benchmarks are left to scripts/test.sh.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/install-deps.sh"
build="$("$root/scripts/build.sh" ostrel | tail -n 1)"
exec "$build/bin/ostrel" "$@"
