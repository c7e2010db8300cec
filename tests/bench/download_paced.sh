#!/bin/sh
# Downloads a session of at least 200 kB from pelorant-sim, paced at 115200
# baud (11520 bytes/s on the line) and unpaced, through the real serial layer,
# and prints the command-line tool's own figures: time, bytes per second and
# CPU time of the download (handshake, transfer and decoding), the share of
# the line that is (bytes per second / 11520), and the simulator's account of
# the line's time (busy, and the idle spells between a reply and the next
# request: turnarounds, stalls of a busy machine, read time-outs, each
# time-out listed with the request the program sent after it).
#
#   tests/bench/download_paced.sh [BUILD_DIR [SESSION_BYTES]]
#   (defaults: build, 250000)
set -eu
build=${1:-build}
bytes=${2:-250000}
dir=$(mktemp -d /tmp/ardenvis-bench-XXXXXX)
export XDG_RUNTIME_DIR="$dir"
pids=""
cleanup() {
  for p in $pids; do kill "$p" 2>/dev/null || true; done
  rm -rf "$dir"
}
trap cleanup EXIT INT TERM

"$build/pelorant-sim" --port 1 --session-bytes "$bytes" --line-stats >"$dir/paced.log" &
paced_sim=$!
pids="$pids $!"
"$build/pelorant-sim" --port 2 --fast --session-bytes "$bytes" >/dev/null &
pids="$pids $!"
for i in $(seq 50); do
  [ -e "$dir/ardenvis/ports/COM1" ] && [ -e "$dir/ardenvis/ports/COM2" ] && break
  sleep 0.1
done

echo "paced at 115200 baud (line: 11520 bytes/s):"
/usr/bin/time -f "  whole run: %e s wall, %U s user, %S s system" \
  "$build/ardenvis-cli" download --port COM1 --session 1 --raw "$dir/paced.raw" 2>&1 |
  grep -E "received|download:|whole run" |
  awk '{ print } / bytes\/s/ { for (i = 1; i <= NF; ++i) if ($i == "bytes/s,")
         printf "  share of the line: %.1f %%\n", $(i - 1) / 115.20 }'
kill "$paced_sim" && wait "$paced_sim" 2>/dev/null || true
grep -E "line busy|idle spells|turnarounds|wait" "$dir/paced.log" | sed 's/^pelorant-sim:/ /' 
echo "unpaced (--fast):"
/usr/bin/time -f "  whole run: %e s wall, %U s user, %S s system" \
  "$build/ardenvis-cli" download --port COM2 --session 1 --raw "$dir/fast.raw" 2>&1 |
  grep -E "received|download:|whole run"
cmp "$dir/paced.raw" "$dir/fast.raw" && echo "both downloads hold the same bytes"
