#!/usr/bin/env bash
# scripts/build.sh DIR [CMAKE ARGS...]: configures (once) and builds the tree in DIR.
set -euo pipefail
dir=$1
shift
cmake -S "$(dirname "$0")/.." -B "$dir" -G Ninja "$@" >/dev/null
cmake --build "$dir" -j"$(nproc)"
