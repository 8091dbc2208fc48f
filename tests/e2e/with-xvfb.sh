#!/usr/bin/env bash
# Runs one command on a private Xvfb display with a window manager, then stops both. The
# manager is openbox, or the one TARVO_WM names (icewm).
set -u
command -v Xvfb >/dev/null || { echo "Xvfb is not installed"; exit 1; }
tmp=$(mktemp -d)
exec 3>"$tmp/displayfd"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp >"$tmp/xvfb.log" 2>&1 &
xvfb=$!
for _ in $(seq 1 100); do
  [ -s "$tmp/displayfd" ] && break
  sleep 0.05
done
num=$(head -n1 "$tmp/displayfd")
if [ -z "$num" ]; then echo "Xvfb did not start"; cat "$tmp/xvfb.log"; kill $xvfb; exit 1; fi
export DISPLAY=":$num"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb
case "${TARVO_WM:-openbox}" in
  openbox) openbox --sm-disable >"$tmp/wm.log" 2>&1 & wm=$! ;;
  icewm) icewm >"$tmp/wm.log" 2>&1 & wm=$! ;;
  *) echo "unknown window manager ${TARVO_WM}"; exit 1 ;;
esac
# Ready once it has announced itself on the root window.
for _ in $(seq 1 100); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.05
done
"$@"
rc=$?
kill $wm 2>/dev/null
kill $xvfb 2>/dev/null
wait 2>/dev/null
rm -rf "$tmp"
exit $rc
