#!/usr/bin/env bash
# One fuzzing campaign: seeds from the example crystals, the bad inputs and the earlier
# findings, libFuzzer for FUZZ_SECONDS. Any crash, leak, undefined behaviour, broken
# promise of the program (see fuzz_run.cpp) or run over 2 GB fails it. A run over 10 s
# under the sanitizers (they slow the program down ten times and more, and the clock is
# the wall clock of a possibly busy machine) does not stop the campaign; at its end each
# such input is timed again in the release build with 10 s of processor time, and fails
# the campaign only if it needs more there too.
# Usage: campaign.sh <release orbicutter> <orbicutter_fuzz> [libFuzzer options...]
set -uo pipefail
cd "$(dirname "$0")/../.."
release=$(realpath "$1")
fuzzer=$(realpath "$2")
shift 2
out=$PWD/build-fuzz
kind=inp
dict=$PWD/tests/fuzz/orbicutter.dict
seed_dirs=(tests/data/crystals examples tests/data/bad tests/data/fuzz-regressions)

. tests/fuzz/campaign_common.sh
run_campaign "$@"
