#!/usr/bin/env bash
# scripts/run-fuzzers.sh BUILD_DIR SECONDS WORK_DIR: runs every fuzz target for SECONDS, starting
# from the seeds in fuzz/corpus/<name>/ (copied, so the repository is never written). A crash,
# leak or sanitizer report fails the run and keeps the reproducer in WORK_DIR.
set -euo pipefail
build=$1 seconds=$2 work=$3
root=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "$work"
for target in "$build"/bin/*_fuzz; do
  name=$(basename "$target" _fuzz)
  corpus=$work/$name
  mkdir -p "$corpus"
  if [ -d "$root/fuzz/corpus/$name" ]; then cp -r "$root/fuzz/corpus/$name/." "$corpus/"; fi
  echo "fuzzing $name for ${seconds}s"
  if ! "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
       -artifact_prefix="$work/$name-" -print_final_stats=0 "$corpus" >"$work/$name.log" 2>&1; then
    tail -n 60 "$work/$name.log"
    echo "fuzz target $name failed; reproducer: $(ls "$work/$name"-* 2>/dev/null | head -1)" >&2
    exit 1
  fi
  grep -E '^Done|#[0-9]+.*DONE' "$work/$name.log" | tail -1 || true
done
