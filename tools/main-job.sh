#!/usr/bin/env bash
# The main job: start the simulated controller on a free port, run the quick start against it (and, with
# --all, every example that talks to a controller), then stop the simulator.
#   tools/main-job.sh [--all] [build dir, default build/release]
set -euo pipefail
cd "$(dirname "$0")/.."
all=0
if [ "${1:-}" = "--all" ]; then all=1; shift; fi
build=${1:-build/release}

out=$(mktemp)
"$build/sim/ruko-sim" --port 0 --time-scale 0.2 --push-hz 50 >"$out" 2>&1 &
sim=$!
trap 'kill -TERM $sim 2>/dev/null || true; wait $sim 2>/dev/null || true; rm -f "$out"' EXIT
for _ in $(seq 1 100); do
  grep -q "listening on" "$out" && break
  sleep 0.05
done
port=$(sed -n 's/.*listening on [0-9.]*:\([0-9]*\).*/\1/p' "$out" | head -n 1)
[ -n "$port" ] || { echo "ruko-sim did not start:"; cat "$out"; exit 1; }
echo "ruko-sim listening on port $port"

"$build/examples/ruko_quickstart" 127.0.0.1 "$port"
if [ $all -eq 1 ]; then
  for example in "$build"/examples/ruko_*; do
    case "$(basename "$example")" in ruko_quickstart) continue ;; esac
    echo "== $(basename "$example")"
    "$example" 127.0.0.1 "$port"
  done
fi
