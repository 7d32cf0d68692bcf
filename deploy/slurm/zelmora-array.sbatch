#!/bin/bash
# A Slurm job array over one jobs file. Each task renders its own share of the lines
# (--shard auto reads the array's task id), and a task run again (requeued after its node
# was lost) renders only what is not finished yet (--resume):
#
#   sbatch --array=1-50 --export=ALL,ZELMORA_JOBS=/shared/catalogue.jsonl zelmora-array.sbatch
#
# The jobs file, the artwork and the pictures lie on a volume every node mounts (NFS, Lustre,
# a cloud file share): the pictures are gathered where the jobs file's "o" paths point.
# ZELMORA_HOME is Zelmora's folder on the nodes (a clone set up with scripts/setup.sh and
# built with scripts/build.sh). Any further arguments go to zelmora-render.
#SBATCH --job-name=zelmora-render
#SBATCH --cpus-per-task=2
#SBATCH --mem=2G
#SBATCH --requeue
#SBATCH --output=zelmora-render-%A_%a.log
set -euo pipefail
: "${ZELMORA_JOBS:?name the jobs file: sbatch --export=ALL,ZELMORA_JOBS=FILE ...}"
exec "${ZELMORA_HOME:-/opt/zelmora}/scripts/render.sh" --jobs "$ZELMORA_JOBS" --shard auto --resume "$@"
