#!/usr/bin/env bash
# Builds the libFuzzer targets with their seed corpora (written into
# build/fuzz/fuzz/corpus/ from the end-to-end tests and the hand-made seeds of
# fuzz/corpus/), replays every input of them and fuzzes each target briefly. A
# crash, a sanitizer report or a failed check fails the run.
# FUZZ_SECONDS sets the time per target (10 unless given).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${FUZZ_SECONDS:-10}"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
for corpus in build/fuzz/fuzz/corpus/*/; do
  target="$(basename "$corpus")"
  binary="build/fuzz/fuzz/$target"
  echo "== $target: replaying $(find "$corpus" -type f | wc -l) inputs, then fuzzing ${seconds}s"
  mkdir -p "$work/$target"
  "$binary" -runs=0 "$corpus" 2>"$work/$target.replay.log" || {
    cat "$work/$target.replay.log" >&2
    exit 1
  }
  "$binary" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$work/$target/" "$work/$target" "$corpus" 2>"$work/$target.log" || {
    cat "$work/$target.log" >&2
    exit 1
  }
  tail -n 1 "$work/$target.log"
done
