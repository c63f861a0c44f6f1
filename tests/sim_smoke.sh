#!/bin/sh
# ruko-sim as a program: --help lists the flags; started on a free port it stops cleanly on SIGTERM.
set -u
sim="$1"
out=$(mktemp)
trap 'rm -f "$out"' EXIT

help=$("$sim" --help) || { echo "--help failed"; exit 1; }
for flag in --host --port --model --version --user --password --push-hz --time-scale --joints \
            --delay --no-reply --error --event-first --event --help; do
  echo "$help" | grep -q -- "$flag" || { echo "--help does not list $flag"; exit 1; }
done
"$sim" --no-such-flag >/dev/null 2>&1 && { echo "an unknown flag was accepted"; exit 1; }

"$sim" --port 0 --time-scale 0.1 >"$out" 2>&1 &
pid=$!
tries=0
until grep -q "listening on" "$out"; do
  tries=$((tries + 1))
  if [ $tries -gt 100 ] || ! kill -0 $pid 2>/dev/null; then
    echo "no listening line:"; cat "$out"; kill $pid 2>/dev/null; exit 1
  fi
  sleep 0.05
done
kill -TERM $pid
wait $pid
rc=$?
[ $rc -eq 0 ] || { echo "exit code $rc after SIGTERM"; cat "$out"; exit 1; }
grep -q "stopped" "$out" || { echo "no stop line"; cat "$out"; exit 1; }
echo "ok"
