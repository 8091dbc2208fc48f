#!/usr/bin/env bash
# Runs a Windows program under Wine, for ctest and for the build's helpers. Its output goes
# to a file: Wine's background processes would inherit and hold ctest's pipe open. A test
# program whose GoogleTest report is complete gets 20 s to exit (Wine now and then keeps a
# finished process); then it is stopped and its result taken from the report.
set -u
log=$(mktemp)
trap 'rm -f "$log"' EXIT
wine "$@" >"$log" 2>&1 </dev/null &
pid=$!
reported=
while kill -0 "$pid" 2>/dev/null; do
  if [ -z "$reported" ] && grep -qa '^\[==========\] .* ran\.' "$log"; then
    reported=$SECONDS
  fi
  if [ -n "$reported" ] && [ $((SECONDS - reported)) -ge 20 ]; then
    cat "$log"
    echo "run-under-wine: $(basename "$1") did not exit 20 s after its report (Wine kept the finished process); stopped, result taken from the report"
    kill -KILL "$pid" 2>/dev/null # Wine does not act on SIGTERM in that state
    wait "$pid" 2>/dev/null
    if grep -qa '^\[  FAILED  \]' "$log" || ! grep -qa '^\[  PASSED  \]' "$log"; then
      exit 1
    fi
    exit 0
  fi
  sleep 0.2
done
wait "$pid"
rc=$?
cat "$log"
exit $rc
