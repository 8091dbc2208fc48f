#!/usr/bin/env bash
# Runs a Windows program under Wine, for ctest and for the build's helpers.
# The program writes into a file, not into ctest's pipe: the first Wine program of a session
# starts Wine's own background processes (services, the desktop), which inherit its output
# and keep a pipe open long after the program ended, so ctest would wait for them.
# Now and then Wine also keeps a finished test program from exiting: a test program whose
# GoogleTest report is complete is given 20 seconds to exit; then it is stopped, and its
# result is the one its report gives.
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
