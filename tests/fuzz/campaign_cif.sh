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
out=$PWD/build-fuzz/cif
kind=cif
dict=$PWD/tests/fuzz/cif.dict
seed_dirs=(tests/data/cif tests/data/cif-hostile tests/fuzz/cif-seeds)

. tests/fuzz/campaign_common.sh
run_campaign "$@"
