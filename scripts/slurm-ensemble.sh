#!/usr/bin/env bash
# Submits an ensemble or a parameter sweep of filonex-batch to Slurm: one task
# of a job array per run, and the merge (runs.tsv and summary.tsv) as a job that
# starts when every task has ended, whether it succeeded or not.
#
#   scripts/slurm-ensemble.sh [--wait] [--batch PROGRAM] -- FILONEX-BATCH-OPTIONS...
#
#   FILONEX-BATCH-OPTIONS  those of an ensemble (--runs N, --sweep IDENT=v1,v2,...,
#                          --out DIR, --settings, --time, --seed, ...); DIR must lie on
#                          a file system that every node sees. Without --seed the base
#                          seed is chosen now and kept in DIR/ensemble.tsv for the tasks.
#   --batch PROGRAM        the runner (default: filonex-batch on the PATH)
#   --wait                 return when the merge has ended, with its exit status
#                          (0: every run done)
#
# sbatch takes the rest from its environment: SBATCH_PARTITION, SBATCH_TIMELIMIT,
# SBATCH_ACCOUNT, ... Each task gets one CPU unless SBATCH_CPUS_PER_TASK says
# otherwise; the mechanics of a run use the CPUs of its task. The logs of the
# tasks and of the merge go to DIR/slurm-*.log.
set -euo pipefail

usage() { sed -n '2,/^set -e/p' "$0" | sed '$d; s/^# \{0,1\}//' >&2; exit 2; }

batch=filonex-batch
wait=()
while [ $# -gt 0 ]; do
  case "$1" in
    --wait) wait=(--wait); shift ;;
    --batch) [ $# -ge 2 ] || usage; batch=$2; shift 2 ;;
    --) shift; break ;;
    *) usage ;;
  esac
done
[ $# -gt 0 ] || usage
batch=$(command -v "$batch") || { echo "slurm-ensemble: no runner '$batch'" >&2; exit 2; }
batch=$(realpath "$batch")

out=
for ((i = 1; i <= $#; i++)); do
  case "${!i}" in
    --out) j=$((i + 1)); out=${!j:-} ;;
    --out=*) out=${!i#--out=} ;;
  esac
done
[ -n "$out" ] || { echo "slurm-ensemble: the options need --out DIR" >&2; exit 2; }

# Checks the options and writes the plan before anything is queued.
runs=$("$batch" "$@" --prepare)

# A command line with every word quoted for bash.
command_line() { printf '%q ' "$@"; }

array=$(sbatch --parsable --job-name=filonex-runs --array="0-$((runs - 1))" \
               --output="$out/slurm-%A_%a.log" <<EOF
#!/usr/bin/env bash
exec $(command_line "$batch" "$@") --threads "\${SLURM_CPUS_PER_TASK:-1}" --run-index "\$SLURM_ARRAY_TASK_ID"
EOF
)
array=${array%%;*}
echo "Submitted $runs runs as job array $array; the merge follows it"

sbatch --job-name=filonex-merge --dependency="afterany:$array" \
       --output="$out/slurm-merge-%j.log" "${wait[@]}" <<EOF
#!/usr/bin/env bash
exec $(command_line "$batch" merge "$out")
EOF
