#!/usr/bin/env bash
# Run on an X display (tests/e2e/with-xvfb.sh): starts the organiser and the capture saver
# of an unpacked package the way the desktop menu does, from their .desktop entries, and
# checks that each opens in the home folder and shows its window, captioned as designed
# and drawn. The windows are saved as PNG files.
#   check-windows.sh ROOT GRABWINDOW [SHOT_DIR [HOME_CONTENT]]
# ROOT: the unpacked package; SHOT_DIR: where the pictures go (a temporary folder if not
# given); HOME_CONTENT: a folder whose files are put in the home folder first.
set -euo pipefail
root=$1
grab=$2
tmp=$(mktemp -d)
shots=${3:-$tmp/shots}
mkdir -p "$tmp/home" "$shots"
[ -n "${4:-}" ] && cp -r "$4"/. "$tmp/home/"
export LC_ALL=C.UTF-8
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  rm -rf "$tmp"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*"
  exit 1
}

# Starts the Exec line of a desktop entry from / with its own home folder, as a menu
# would; sets started_pid. The entries' Exec lines use shell quoting only.
start_entry() {
  local line
  line=$(sed -n 's/^Exec=//p' "$1")
  [ -n "$line" ] || fail "$1 has no Exec line"
  eval "set -- $line"
  (cd / && HOME="$tmp/home" PATH="$root/usr/bin:$PATH" exec "$@") >"$tmp/$(basename "$1").log" 2>&1 &
  started_pid=$!
  pids+=("$started_pid")
}

# Prints the id of the top-level window of process $1 whose caption is exactly $2, waiting
# up to 30 seconds for it.
window_of() {
  local pid=$1 caption=$2 id
  for _ in $(seq 1 300); do
    kill -0 "$pid" 2>/dev/null || return 1
    for id in $(xwininfo -root -tree | sed -n 's/^ *\(0x[0-9a-f]*\) ".*/\1/p'); do
      if [ "$(xprop -id "$id" _NET_WM_PID 2>/dev/null | sed -n 's/.* = //p')" = "$pid" ] &&
        [ "$(xprop -id "$id" _NET_WM_NAME 2>/dev/null)" = "_NET_WM_NAME(UTF8_STRING) = \"$caption\"" ] &&
        xwininfo -id "$id" | grep -q 'Map State: IsViewable'; then
        echo "$id"
        return 0
      fi
    done
    sleep 0.1
  done
  return 1
}

check_program() {
  local entry=$1 caption=$2 name=$3 id cwd
  start_entry "$root/usr/share/applications/$entry"
  local pid=$started_pid
  id=$(window_of "$pid" "$caption") || {
    cat "$tmp/$entry.log"
    fail "$name (from $entry) shows no window captioned \"$caption\""
  }
  cwd=$(readlink "/proc/$pid/cwd")
  [ "$cwd" = "$tmp/home" ] || fail "$name started from the menu runs in $cwd, not the home folder"
  # Let the first paint finish before the window is read.
  sleep 1
  "$grab" "$id" "$shots/$name.png" || fail "$name's window could not be read or is blank"
  echo "ok: $name shows \"$caption\" (window $id) in the home folder"
  kill "$pid"
}

check_program tarvo104.desktop "    画像整理ツール　 [Tarvo  V1.4 ]" tarvo104
check_program Mirok101.desktop "Mirok101" Mirok101
