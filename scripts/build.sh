#!/usr/bin/env bash
# scripts/build.sh DIR [CMAKE ARGS...]: configures (once) and builds the tree in DIR; with
# BUILD_TARGET set, only that target and what it needs.
set -euo pipefail
dir=$1
shift
cmake -S "$(dirname "$0")/.." -B "$dir" -G Ninja "$@" >/dev/null
cmake --build "$dir" -j"$(nproc)" ${BUILD_TARGET:+--target "$BUILD_TARGET"}
