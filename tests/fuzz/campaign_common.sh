# The body of a fuzzing campaign, sourced by campaign.sh and campaign_cif.sh once they
# have set: release (the release build of the tool), fuzzer, out (the campaign's
# folder), kind (the input's extension), dict and seed_dirs (an array).
# run_campaign [libFuzzer options...] ends the script with the campaign's verdict.

# True when the input needs more than 10 s of processor time in the release build.
slow_in_release() {
  local dir code
  dir=$(mktemp -d)
  cp "$1" "$dir/fuzz.$kind"
  (cd "$dir" && ulimit -t 10 && exec "$release" "fuzz.$kind" >/dev/null 2>&1)
  code=$?
  rm -rf "$dir"
  [ "$code" -gt 128 ]
}

run_campaign() {
  local seconds=${FUZZ_SECONDS:-600} d f start status found
  rm -rf "$out/seeds" "$out/tmp"
  mkdir -p "$out/seeds" "$out/corpus" "$out/findings" "$out/tmp"
  for d in "${seed_dirs[@]}"; do
    for f in "$d"/*."$kind"; do
      [ ! -e "$f" ] || cp "$f" "$out/seeds/$(basename "$d")-$(basename "$f")"
    done
  done
  start=$out/tmp/start
  touch "$start"

  # The harness keeps the 10 s limit; libFuzzer's own -timeout only backs it up. Jobs run
  # in child processes, so a run over the limit ends its job and fuzzing goes on. The kill
  # after five spare minutes ends any hang of the fuzzer itself. Absolute paths: each run
  # works in a private folder (under TMPDIR; a run stopped for its time leaves it behind).
  export ORBICUTTER_FUZZ_SECONDS=10
  export TMPDIR=$out/tmp
  timeout --signal=KILL $((seconds + 300)) "$fuzzer" -fork=1 -ignore_timeouts=1 -max_total_time="$seconds" \
    -timeout=30 -rss_limit_mb=2048 -dict="$dict" -artifact_prefix="$out/findings/" \
    "$@" "$out/corpus" "$out/seeds"
  status=$?

  found=0
  for f in $(find "$out/findings" -name 'timeout-*' -newer "$start"); do
    if slow_in_release "$f"; then
      echo "== over 10 s in the release build too: $f"
      found=1
    else
      echo "== over 10 s only under the sanitizers (release build within 10 s): $f"
    fi
  done
  # Fork mode goes on after a run over the 2 GB limit; such a run still fails the campaign.
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
}
