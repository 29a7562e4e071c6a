#!/usr/bin/env bash
# Configures and builds into a build folder of its own.
#   OSTREL_SANITIZE=ON   builds with AddressSanitizer and UBSan (in build-sanitize/)
#   OSTREL_BUILD_DIR=... overrides the folder
# Arguments name the targets to build (default: everything).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
sanitize="${OSTREL_SANITIZE:-OFF}"
if [ "$sanitize" = "ON" ]; then
  build="${OSTREL_BUILD_DIR:-$root/build-sanitize}"
else
  build="${OSTREL_BUILD_DIR:-$root/build}"
fi
# Build output goes to stderr: stdout carries only the build folder.
cmake -S "$root" -B "$build" -G Ninja -DOSTREL_SANITIZE="$sanitize" >&2
targets=()
if [ "$#" -gt 0 ]; then
  targets=(--target "$@")
fi
cmake --build "$build" --parallel "${OSTREL_JOBS:-$(nproc)}" ${targets[@]+"${targets[@]}"} >&2
echo "$build"
