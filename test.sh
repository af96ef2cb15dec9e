#!/usr/bin/env bash
# Sets up a fresh Debian machine and runs every test: the fuzz targets for a bounded time, then
# the whole test suite under AddressSanitizer and UndefinedBehaviorSanitizer (the benchmarks are
# built there too, so that they keep compiling).
# FUZZ_SECONDS (default 30) bounds each fuzz target.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh

# Nothing below may touch the real user's files: every step runs with a temporary home.
scratch=$(mktemp -d /tmp/quillo-ci-XXXXXX)
trap 'rm -rf "$scratch"' EXIT
export HOME=$scratch/home QUILLO_HOME=$scratch/quillo
export XDG_CONFIG_HOME=$HOME/.config XDG_DATA_HOME=$HOME/.local/share XDG_CACHE_HOME=$HOME/.cache
mkdir -p "$HOME" "$QUILLO_HOME"

echo "== fuzz targets"
CC=clang CXX=clang++ BUILD_TARGET=fuzzers scripts/build.sh build-fuzz -DVOK_FUZZ=ON
scripts/run-fuzzers.sh build-fuzz "${FUZZ_SECONDS:-30}" "$scratch/fuzz"

echo "== tests under AddressSanitizer and UndefinedBehaviorSanitizer"
scripts/build.sh build-asan -DVOK_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
# A failed test is run once more, so a one-off failure under load (the tests on a virtual X
# server time their waits) is told apart from a real one; the log shows both runs.
ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp \
  UBSAN_OPTIONS=print_stacktrace=1 ctest --test-dir build-asan --output-on-failure -j2 \
  --repeat until-pass:2

