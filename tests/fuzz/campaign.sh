#!/usr/bin/env bash
# One fuzzing campaign: seeds from the example crystals and the bad inputs, libFuzzer
# for FUZZ_SECONDS. Any crash, leak, undefined behaviour, broken promise of the program
# (see fuzz_run.cpp) or run over 2 GB fails it. A run over 10 s under the sanitizers
# (they slow the program down ten times and more, and the clock is the wall clock of a
# possibly busy machine) is timed again in the release build with 10 s of processor
# time: only there does it fail the campaign; otherwise fuzzing goes on.
# Usage: campaign.sh <release orbicutter> <orbicutter_fuzz> [libFuzzer options...]
set -uo pipefail
cd "$(dirname "$0")/../.."
release=$(realpath "$1")
fuzzer=$(realpath "$2")
shift 2
seconds=${FUZZ_SECONDS:-600}
out=$PWD/build-fuzz
timeout_status=70  # exit status after a run over the time limit

rm -rf "$out/seeds"
mkdir -p "$out/seeds" "$out/corpus" "$out/findings" "$out/tmp"
for d in tests/data/crystals examples tests/data/bad tests/data/fuzz-regressions; do
  for f in "$d"/*.inp; do
    [ ! -e "$f" ] || cp "$f" "$out/seeds/$(basename "$d")-$(basename "$f")"
  done
done

# True when the input needs more than 10 s of processor time in the release build.
slow_in_release() {
  local dir code
  dir=$(mktemp -d)
  cp "$1" "$dir/fuzz.inp"
  (cd "$dir" && ulimit -t 10 && exec "$release" fuzz.inp >/dev/null 2>&1)
  code=$?
  rm -rf "$dir"
  [ "$code" -gt 128 ]
}

deadline=$((SECONDS + seconds))
export ORBICUTTER_FUZZ_SECONDS=10
# The private folders of the runs; a run stopped for its time leaves its folder.
export TMPDIR=$out/tmp
while [ $((deadline - SECONDS)) -gt 0 ]; do
  # The harness keeps the 10 s limit; libFuzzer's own -timeout only backs it up, and
  # the kill after five spare minutes ends any hang of the fuzzer itself.
  # Absolute paths: each run works in a folder of its own.
  left=$((deadline - SECONDS))
  timeout --signal=KILL $((left + 300)) "$fuzzer" -max_total_time="$left" -timeout=30 -rss_limit_mb=2048 \
    -dict="$PWD/tests/fuzz/orbicutter.dict" -artifact_prefix="$out/findings/" -print_final_stats=1 \
    "$@" "$out/corpus" "$out/seeds"
  status=$?
  rm -rf "$TMPDIR"/orbicutter-fuzz-*
  [ "$status" -eq 0 ] && exit 0
  if [ "$status" -ne "$timeout_status" ]; then
    echo "== the fuzzer stopped with status $status: see $out/findings/"
    exit 1
  fi
  found=$(ls -t "$out"/findings/timeout-* | head -n 1)
  if slow_in_release "$found"; then
    echo "== over 10 s in the release build too: $found"
    exit 1
  fi
  echo "== slow only under the sanitizers (release build within 10 s), fuzzing goes on: $found"
  # It may sit in the corpus or the seeds (a busy machine); not again in this campaign.
  sum=$(sha1sum <"$found" | cut -d' ' -f1)
  rm -f "$out/corpus/$sum"
  for f in "$out"/seeds/*; do
    [ "$(sha1sum <"$f" | cut -d' ' -f1)" != "$sum" ] || rm -f "$f"
  done
done
exit 0
