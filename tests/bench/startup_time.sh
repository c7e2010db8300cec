#!/usr/bin/env bash
# Start-up time: from launching the program until its main window is on the
# screen (a real X server from xvfb-run), 10 runs; prints each and the median.
# Settings go to a scratch home, never the user's.
#   tests/bench/startup_time.sh [build-folder] [runs]
set -euo pipefail
build=${1:-build}
runs=${2:-10}
if [ "${3:-}" = --on-display ]; then
  for _ in $(seq "$runs"); do
    ARDENVIS_STARTUP_PROBE=$(date +%s%N) "$build/ardenvis"
  done
  exit 0
fi
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
times=$(HOME="$scratch" XDG_CONFIG_HOME="$scratch/config" \
  xvfb-run -a "$0" "$build" "$runs" --on-display)
echo "$times" | tr '\n' ' '
echo
echo "median: $(echo "$times" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}') s"
