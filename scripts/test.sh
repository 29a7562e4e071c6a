#!/usr/bin/env bash
# Installs what is missing, builds and runs the whole test suite headless.
# Set OSTREL_SANITIZE=ON to run it under AddressSanitizer and UBSan.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/install-deps.sh"
build="$("$root/scripts/build.sh" | tail -n 1)"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build" --output-on-failure --parallel "$(nproc)" "$@"
