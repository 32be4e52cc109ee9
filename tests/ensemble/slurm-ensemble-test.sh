#!/usr/bin/env bash
# Starts a one-node Slurm cluster of this machine in a temporary folder, submits
# a four-run ensemble through scripts/slurm-ensemble.sh, waits for its merge and
# compares every run with the same run made locally with --runs.
#   slurm-ensemble-test.sh BATCH SLURM-ENSEMBLE-SCRIPT
# Exits 77 (skipped) only where the cluster cannot start.
set -euo pipefail
batch=$1 submit=$2

skip() { echo "SKIPPED: $*" >&2; exit 77; }
[ "$(id -u)" -eq 0 ] || skip "starting munged and slurmd needs root"
for program in munged mungekey slurmctld slurmd sbatch sinfo; do
  command -v "$program" >/dev/null || skip "$program is missing (scripts/setup.sh test installs slurm-wlm and munge)"
done

work=$(mktemp -d /tmp/filonex-slurm.XXXXXX)
chmod 755 "$work" # munged wants every folder above its socket searchable by all
# slurmd needs the cgroup file system. A machine's own root has it; a root
# made with chroot over a plain bind of /sys lacks it, so the test mounts one
# there for its own time.
cgroup_mounted=
if ! mountpoint -q /sys/fs/cgroup && [ -d /sys/fs/cgroup ] && mount -t tmpfs cgroup /sys/fs/cgroup 2>/dev/null; then
  cgroup_mounted=yes
  mkdir -p /sys/fs/cgroup/systemd
  mount -t cgroup -o none,name=systemd cgroup /sys/fs/cgroup/systemd 2>/dev/null || true
fi
stop_cluster() {
  for pidfile in "$work/slurmd.pid" "$work/slurmctld.pid" "$work/munge/munged.pid"; do
    [ -s "$pidfile" ] && kill "$(cat "$pidfile")" 2>/dev/null || true
  done
  sleep 1
  rm -rf "$work"
  [ -z "$cgroup_mounted" ] || umount -R /sys/fs/cgroup
}
trap stop_cluster EXIT

mkdir -p "$work/munge" "$work/state" "$work/spool"
mungekey --create --keyfile "$work/munge/munge.key"
chown -R munge:munge "$work/munge"
chmod 400 "$work/munge/munge.key"
runuser -u munge -- munged --socket="$work/munge/munge.socket" --key-file="$work/munge/munge.key" \
  --pid-file="$work/munge/munged.pid" --log-file="$work/munge/munged.log" \
  --seed-file="$work/munge/munged.seed" || skip "munged does not start: $(tail -1 "$work/munge/munged.log")"

host=$(hostname -s)
port=$((20000 + RANDOM % 20000)) # clusters of tests run side by side must not meet
export SLURM_CONF=$work/slurm.conf
cat > "$SLURM_CONF" <<EOF
ClusterName=filonextest
SlurmctldHost=$host(127.0.0.1)
SlurmctldPort=$port
SlurmdPort=$((port + 1))
AuthType=auth/munge
AuthInfo=socket=$work/munge/munge.socket
CredType=cred/munge
ProctrackType=proctrack/linuxproc
TaskPlugin=task/none
AccountingStorageType=accounting_storage/none
SchedulerType=sched/builtin
SchedulerParameters=sched_interval=1
StateSaveLocation=$work/state
SlurmdSpoolDir=$work/spool
SlurmctldPidFile=$work/slurmctld.pid
SlurmdPidFile=$work/slurmd.pid
SlurmctldLogFile=$work/slurmctld.log
SlurmdLogFile=$work/slurmd.log
NodeName=$host NodeAddr=127.0.0.1 CPUs=$(nproc) State=UNKNOWN
PartitionName=test Nodes=$host Default=YES MaxTime=INFINITE State=UP
EOF
slurmctld -f "$SLURM_CONF" || skip "slurmctld does not start: $(tail -3 "$work/slurmctld.log" 2>/dev/null)"
slurmd -f "$SLURM_CONF" || skip "slurmd does not start: $(tail -3 "$work/slurmd.log" 2>/dev/null)"
for _ in $(seq 60); do
  [ "$(sinfo -h -o %T 2>/dev/null)" = idle ] && break
  sleep 0.5
done
[ "$(sinfo -h -o %T 2>/dev/null)" = idle ] ||
  skip "the node does not come up: $(tail -3 "$work/slurmd.log" "$work/slurmctld.log" 2>/dev/null)"

echo > "$work/settings.ini"
ensemble=(--settings "$work/settings.ini" --time 0.3 --chemistry-only --runs 4 --seed 7)
"$batch" "${ensemble[@]}" --out "$work/local" --quiet
"$submit" --wait --batch "$batch" -- "${ensemble[@]}" --out "$work/cluster"

failed=0
for run in 0 1 2 3; do
  folder=$(printf 'run-%04d' "$run")
  if cmp "$work/local/$folder/state.txt" "$work/cluster/$folder/state.txt"; then
    echo "same    $folder"
  else
    echo "CHANGED $folder"; failed=1
  fi
done
cmp "$work/local/summary.tsv" "$work/cluster/summary.tsv" || failed=1
[ "$(grep -c $'\tdone\t' "$work/cluster/runs.tsv")" = 4 ] || { cat "$work/cluster/runs.tsv"; failed=1; }
exit $failed
