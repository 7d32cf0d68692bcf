#!/usr/bin/env bash
# The repository's Slurm array script on a real single-node Slurm: a controller and a node
# daemon on this machine (munge signs their messages), started for this test and stopped
# by it. Four tasks share a 12-line jobs file: every picture is written once, by one task.
# Run again with one picture deleted, the array rewrites that picture and leaves the others
# untouched. Skips (status 77) where Slurm is not installed or cannot start.
# Usage: slurm_test.sh BUILD_DIR
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=$(cd "$1" && pwd)
source "$root/scripts/wine-env.sh"

skip() { echo "SKIP: $*"; exit 77; }
failures=0
check() {  # check CONDITION-STATUS MESSAGE
  if [[ $1 == 0 ]]; then echo "ok: $2"; else echo "FAILED: $2"; failures=$((failures + 1)); fi
}

for program in slurmctld slurmd munged mungekey; do
  [[ -x /usr/sbin/$program ]] || skip "Slurm is not installed here ($program missing: scripts/setup.sh installs slurmctld, slurmd, slurm-client and munge)"
done
for program in sbatch squeue sinfo scontrol scancel; do
  command -v $program >/dev/null || skip "Slurm's client is not installed here ($program missing)"
done
[[ $(id -u) == 0 ]] || skip "Slurm's node daemon runs its tasks as their user and so must run as root; this test is not root"

work=$build/slurm-test
rm -rf "$work"
mkdir -p "$work/state" "$work/spool" "$work/out"
chmod 700 "$work"

pids=()
stop_all() {
  if [[ -n "${SLURM_CONF:-}" ]]; then scancel --quiet --full --user=root 2>/dev/null || true; fi
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do
    for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$pid" 2>/dev/null || true
  done
  if [[ -f "$work/munged.pid" ]]; then kill "$(cat "$work/munged.pid")" 2>/dev/null || true; fi
  zelmora_stop_display
}
trap stop_all EXIT

# Munge: a key and a socket of this test's own, apart from any munge the machine runs.
/usr/sbin/mungekey --create --keyfile="$work/munge.key" || skip "mungekey could not make a key"
chmod 600 "$work/munge.key"
/usr/sbin/munged --force --socket="$work/munge.sock" --key-file="$work/munge.key" --pid-file="$work/munged.pid" \
  --log-file="$work/munged.log" --seed-file="$work/munge.seed" ||
  skip "munged did not start: $(tail -n 3 "$work/munged.log" 2>/dev/null)"

free_port() { python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'; }
node=$(hostname -s)
memory_mb=$(awk '/MemTotal/ { printf "%d", $2 / 1024 * 0.8 }' /proc/meminfo)
export SLURM_CONF=$work/slurm.conf
cat >"$SLURM_CONF" <<CONF
ClusterName=zelmora-test
SlurmctldHost=$node(127.0.0.1)
SlurmctldPort=$(free_port)
SlurmdPort=$(free_port)
SlurmUser=root
SlurmdUser=root
AuthType=auth/munge
CredType=cred/munge
AuthInfo=socket=$work/munge.sock
StateSaveLocation=$work/state
SlurmdSpoolDir=$work/spool
SlurmctldPidFile=$work/slurmctld.pid
SlurmdPidFile=$work/slurmd.pid
SlurmctldLogFile=$work/slurmctld.log
SlurmdLogFile=$work/slurmd.log
ProctrackType=proctrack/linuxproc
TaskPlugin=task/none
JobAcctGatherType=jobacct_gather/none
AccountingStorageType=accounting_storage/none
SelectType=select/cons_tres
SelectTypeParameters=CR_Core_Memory
MpiDefault=none
ReturnToService=2
MinJobAge=600
NodeName=$node NodeAddr=127.0.0.1 CPUs=$(nproc) RealMemory=$memory_mb State=UNKNOWN
PartitionName=test Nodes=$node Default=YES MaxTime=INFINITE State=UP
CONF

/usr/sbin/slurmctld -D -i -f "$SLURM_CONF" >"$work/slurmctld.out" 2>&1 &
pids+=($!)
/usr/sbin/slurmd -D -f "$SLURM_CONF" >"$work/slurmd.out" 2>&1 &
pids+=($!)
state=""
for _ in $(seq 600); do
  state=$(sinfo -h -n "$node" -o %T 2>/dev/null)
  [[ $state == idle ]] && break
  sleep 0.1
done
if [[ $state != idle ]]; then
  tail -n 5 "$work/slurmctld.log" "$work/slurmd.log" "$work/slurmctld.out" "$work/slurmd.out" 2>/dev/null
  skip "the single-node Slurm did not come up here (node state: '${state:-none}')"
fi
echo "slurm: controller and node daemon up on $node"

# Tasks share the test's Wine prefix and display, as the other end-to-end tests do.
zelmora_wine_env "$build" test-wineprefix
export ZELMORA_WINEPREFIX_NAME=test-wineprefix
zelmora_ensure_display

out=$work/out
for i in $(seq -w 1 12); do
  printf '{"o": "pictures/p%s.png", "size": "160x120", "rotation1": %d}\n' "$i" $((10#$i * 25))
done >"$out/jobs.jsonl"

# Runs the array over the jobs file; waits for it; prints the job id.
run_array() {
  local id
  id=$(sbatch --parsable --array=1-4 --cpus-per-task=1 --mem=400M --chdir="$out" --output="$out/task-$1-%a.log" \
    --export="ALL,ZELMORA_JOBS=$out/jobs.jsonl,ZELMORA_HOME=$root" "$root/deploy/slurm/zelmora-array.sbatch") || return 1
  for _ in $(seq 3000); do
    [[ -z "$(squeue -h -j "$id" 2>/dev/null)" ]] && break
    sleep 0.2
  done
  echo "$id"
}

# Every task of the array finished with status 0.
tasks_succeeded() {
  local states
  states=$(scontrol show job "$1" 2>/dev/null | grep -oE 'JobState=[A-Z_]+|ExitCode=[0-9:]+' | paste -sd' ')
  echo "slurm: array $1: $states"
  [[ $(grep -o 'JobState=COMPLETED' <<<"$states" | wc -l) == 4 && $(grep -o 'ExitCode=0:0' <<<"$states" | wc -l) == 4 ]]
}

job=$(run_array first)
check $? "the array was submitted and ran"
tasks_succeeded "$job"
check $? "its four tasks ended with status 0"
written=$(cat "$out"/task-first-*.log | grep -E '^/.*\.png$' | sort)
expected=$(for i in $(seq -w 1 12); do echo "$out/pictures/p$i.png"; done)
[[ "$written" == "$expected" ]]
check $? "the four tasks wrote each of the 12 pictures exactly once ($(wc -l <<<"$written") lines)"
shares=$(cat "$out"/task-first-*.log | grep -oE '^[0-9]+ of [0-9]+ pictures' | sort | paste -sd,)
[[ $shares == "3 of 3 pictures,3 of 3 pictures,3 of 3 pictures,3 of 3 pictures" ]]
check $? "each task rendered its own share of 3 ($shares)"
identify -format '%wx%h\n' "$out"/pictures/*.png 2>/dev/null | sort -u | grep -qx 160x120 &&
  [[ $(ls "$out"/pictures/*.png | wc -l) == 12 ]]
check $? "the 12 pictures are there, each 160 x 120"

# A lost task run again: only the missing picture is rendered again.
stamps() { stat -c '%n %Y.%y' "$out"/pictures/*.png | grep -v 'p07.png'; }
before=$(stamps)
rm "$out/pictures/p07.png"
job=$(run_array again)
tasks_succeeded "$job"
check $? "the array run again ended with status 0 in all four tasks"
[[ -f "$out/pictures/p07.png" ]] && identify "$out/pictures/p07.png" >/dev/null 2>&1
check $? "the deleted picture is made again"
[[ "$(stamps)" == "$before" ]]
check $? "the 11 finished pictures are left untouched"
rewritten=$(cat "$out"/task-again-*.log | grep -E '^/.*\.png$')
[[ $rewritten == "$out/pictures/p07.png" ]]
check $? "only that picture was written ($rewritten)"
kept=$(cat "$out"/task-again-*.log | grep -oE '[0-9]+ kept \(already complete\)' | awk '{ n += $1 } END { print n + 0 }')
[[ $kept == 11 ]]
check $? "the summaries count 11 pictures kept ($kept)"

if ((failures)); then
  echo "--- task logs"; tail -n 20 "$out"/task-*.log
  echo "--- slurmd"; tail -n 20 "$work/slurmd.log"
  exit 1
fi
echo "slurm: all checks passed"
