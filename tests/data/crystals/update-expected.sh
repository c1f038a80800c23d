#!/bin/sh
# Rewrites the expected products of the example crystals from a built program,
# keeping the CPU-time figures of the files they replace, so that the changes
# to review are only the ones the program made.
#   tests/data/crystals/update-expected.sh build/orbicutter [expected folder]
set -eu
exe=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
here=$(cd "$(dirname "$0")" && pwd)
expected=${2:-$here/expected}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
for input in "$here"/*.inp; do
  name=$(basename "$input" .inp)
  rm -rf "$scratch/run" && mkdir "$scratch/run"
  cp "$input" "$scratch/run/"
  status=0
  (cd "$scratch/run" && "$exe" "$name.inp" > stdout.txt) || status=$?
  echo "$status" > "$scratch/run/exit-status.txt"
  rm "$scratch/run/$name.inp"
  mkdir -p "$expected/$name"
  for new in "$scratch/run"/*; do
    old="$expected/$name/$(basename "$new")"
    if [ -f "$old" ] && grep -q "CPU time = " "$new"; then
      # The n-th CPU-time figure of the new file takes the n-th of the old one.
      awk 'NR == FNR { if (match($0, /CPU time = [0-9.]+ s/)) old[++n] = substr($0, RSTART, RLENGTH); next }
           match($0, /CPU time = [0-9.]+ s/) && (++k in old) { $0 = substr($0, 1, RSTART - 1) old[k] substr($0, RSTART + RLENGTH) }
           { print }' "$old" "$new" > "$scratch/merged"
      cp "$scratch/merged" "$old"
    else
      cp "$new" "$old"
    fi
  done
done
