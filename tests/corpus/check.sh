#!/usr/bin/env bash
# Runs every world of runs.tsv with filonex-batch and compares its final state
# and the world it saves at the end byte for byte with the recorded ones, once
# for each thread count given.
#   check.sh BATCH THREADS...          compare
#   check.sh BATCH --record            write the recorded states anew
set -euo pipefail
batch=$1; shift
corpus=$(cd "$(dirname "$0")" && pwd)
seed=20261207
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

failed=0
while IFS=$'\t' read -r name settings method time mechanics; do
  case "$name" in ''|'#'*) continue ;; esac
  arguments=(--settings "$corpus/$settings" --seed "$seed" --method "$method" --time "$time" --quiet)
  [ "$mechanics" = yes ] || arguments+=(--chemistry-only)
  if [ "${1:-}" = --record ]; then
    "$batch" "${arguments[@]}" --save-world "$corpus/$name.world" > "$corpus/$name.state"
    echo "recorded $name"
    continue
  fi
  for threads in "$@"; do
    "$batch" "${arguments[@]}" --threads "$threads" --save-world "$scratch/$name.world" > "$scratch/$name.state"
    for result in state world; do
      if cmp -s "$scratch/$name.$result" "$corpus/$name.$result"; then
        echo "same    $name.$result ($threads threads)"
      else
        echo "CHANGED $name.$result ($threads threads):"
        diff "$corpus/$name.$result" "$scratch/$name.$result" | head -5 || true
        failed=1
      fi
    done
  done
done < "$corpus/runs.tsv"
exit $failed
