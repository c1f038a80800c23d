#!/usr/bin/env bash
# One fuzzing campaign of the CIF converter: seeds from the CIFs of the tests, the
# database files of tests/fuzz/cif-seeds and the hostile files (the earlier findings among them),
# libFuzzer for FUZZ_SECONDS. Any crash, leak, undefined behaviour, broken promise of
# the converter (see fuzz_cif.cpp) or run over 2 GB fails it. A run over 10 s under the
# sanitizers fails it only if the release converter needs over 10 s of processor time too.
# Usage: campaign_cif.sh <release orbicutter-cif> <orbicutter_fuzz_cif> [libFuzzer options...]
set -uo pipefail
cd "$(dirname "$0")/../.."
release=$(realpath "$1")
fuzzer=$(realpath "$2")
shift 2
seconds=${FUZZ_SECONDS:-600}
out=$PWD/build-fuzz/cif

rm -rf "$out/seeds" "$out/tmp"
mkdir -p "$out/seeds" "$out/corpus" "$out/findings" "$out/tmp"
for d in tests/data/cif tests/data/cif-hostile tests/fuzz/cif-seeds; do
  for f in "$d"/*.cif; do
    [ ! -e "$f" ] || cp "$f" "$out/seeds/$(basename "$d")-$(basename "$f")"
  done
done
start=$out/tmp/start
touch "$start"

export ORBICUTTER_FUZZ_SECONDS=10
export TMPDIR=$out/tmp
timeout --signal=KILL $((seconds + 300)) "$fuzzer" -fork=1 -ignore_timeouts=1 -max_total_time="$seconds" \
  -timeout=30 -rss_limit_mb=2048 -dict="$PWD/tests/fuzz/cif.dict" -artifact_prefix="$out/findings/" \
  "$@" "$out/corpus" "$out/seeds"
status=$?

# True when the CIF needs more than 10 s of processor time in the release build.
slow_in_release() {
  local dir code
  dir=$(mktemp -d)
  cp "$1" "$dir/fuzz.cif"
  (cd "$dir" && ulimit -t 10 && exec "$release" fuzz.cif >/dev/null 2>&1)
  code=$?
  rm -rf "$dir"
  [ "$code" -gt 128 ]
}

found=0
for f in $(find "$out/findings" -name 'timeout-*' -newer "$start"); do
  if slow_in_release "$f"; then
    echo "== over 10 s in the release build too: $f"
    found=1
  else
    echo "== over 10 s only under the sanitizers (release build within 10 s): $f"
  fi
done
for f in $(find "$out/findings" -name 'oom-*' -newer "$start"); do
  echo "== over 2 GB: $f"
  found=1
done
rm -rf "$out/tmp"

if [ "$status" -ne 0 ]; then
  echo "== the fuzzer stopped with status $status: see $out/findings/"
  exit 1
fi
exit "$found"
