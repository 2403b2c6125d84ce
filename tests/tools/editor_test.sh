#!/usr/bin/env bash
# kelbra-host --editor on a private Xvfb display: the window it makes has the
# editor's size and is the one handed to effEditOpen; the editor gets idle
# calls while audio runs and is closed at the end; closing the window stops an
# open-ended run; without a display the refusal is one line.
#   editor_test.sh KELBRA_HOST FAKE_EDITOR_PLUGIN KELBRA_PLUGIN
set -uo pipefail
host=$1
fake=$2
kelbra=$3
for tool in Xvfb xdotool xwininfo; do
  if ! command -v "$tool" >/dev/null; then
    [ "${CI:-}" = true ] && { echo "FAIL: $tool is missing and CI=true"; exit 1; }
    echo "skipped: $tool is not installed"
    exit 77
  fi
done

work=$(mktemp -d)
xvfb_pid=""
host_pid=""
cleanup() {
  [ -n "$host_pid" ] && kill "$host_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
[ -s "$work/display" ] || { cat "$work/xvfb.log"; echo "FAIL: Xvfb did not start"; exit 1; }
export DISPLAY=":$(head -n 1 "$work/display")"

# The top-level window named after the plug-in, as "id width height", or nothing.
find_window() {
  xwininfo -root -tree 2>/dev/null | awk -v name="\"$1\"" 'index($0, name) {
    for (i = 1; i <= NF; i++) if ($i ~ /^[0-9]+x[0-9]+\+/) { split($i, g, /[x+]/); print $1, g[1], g[2]; exit } }'
}
wait_window() {
  for _ in $(seq 100); do
    found=$(find_window "$1")
    [ -n "$found" ] && { echo "$found"; return 0; }
    sleep 0.05
  done
  return 1
}

# 1. A timed run: the window, the handle, idle calls, close.
export KELBRA_FAKE_EDITOR_LOG=$work/editor.log
"$host" --plugin "$fake" --editor --signal silence --seconds 1.5 --quiet >"$work/run1.out" 2>&1 &
host_pid=$!
if window=$(wait_window "kelbra - fake"); then
  read -r id width height <<<"$window"
  [ "$width" = 170 ] && [ "$height" = 150 ] || fail "window is ${width}x${height}, the editor asked for 170x150"
else
  fail "no window named 'kelbra - fake' appeared"
  id=""
fi
wait "$host_pid"
status=$?
host_pid=""
[ "$status" = 0 ] || { cat "$work/run1.out"; fail "timed editor run exited with $status"; }
opened=$(sed -n 's/^open \([0-9]*\)$/\1/p' "$work/editor.log")
[ -n "$id" ] && [ -n "$opened" ] && [ "$((id))" = "$opened" ] ||
  fail "effEditOpen got '${opened}', the window is '${id}'"
idles=$(sed -n 's/^close after \([0-9]*\) idles$/\1/p' "$work/editor.log")
# About one idle call per 20 ms over 1.5 s; a loaded machine may manage fewer.
[ -n "$idles" ] && [ "$idles" -ge 25 ] || fail "expected effEditClose after about 75 idle calls, log: $(cat "$work/editor.log")"

# 2. An open-ended run ends when its window goes away.
rm -f "$work/editor.log"
"$host" --plugin "$fake" --editor --signal silence --quiet >"$work/run2.out" 2>&1 &
host_pid=$!
if window=$(wait_window "kelbra - fake"); then
  sleep 0.3
  xdotool windowclose "$(cut -d' ' -f1 <<<"$window")"
  for _ in $(seq 100); do kill -0 "$host_pid" 2>/dev/null || break; sleep 0.05; done
  if kill -0 "$host_pid" 2>/dev/null; then
    fail "kelbra-host kept running after its window was closed"
  else
    wait "$host_pid" || fail "kelbra-host exited with $? after its window was closed: $(cat "$work/run2.out")"
    grep -q "^close after" "$work/editor.log" || fail "effEditClose was not called after the window closed"
  fi
else
  fail "no window appeared for the open-ended run"
fi
host_pid=""

# 3. No display: one line, non-zero.
err=$(env -u DISPLAY "$host" --plugin "$fake" --editor --seconds 1 --quiet 2>&1 >/dev/null)
status=$?
[ "$status" -ne 0 ] && [ "$(wc -l <<<"$err")" = 1 ] && grep -q "^kelbra-host: cannot open the display" <<<"$err" ||
  fail "without a display: exit $status, '$err'"

# 4. The real plug-in: its editor inside our window once it has one, a clear
# refusal while it has none.
if "$host" --plugin "$kelbra" --info | grep -q "with editor"; then
  "$host" --plugin "$kelbra" --editor --signal silence --seconds 1.5 --quiet >"$work/run4.out" 2>&1 &
  host_pid=$!
  if window=$(wait_window "kelbra - kelbra"); then
    sleep 0.5
    children=$(xwininfo -children -id "$(cut -d' ' -f1 <<<"$window")" | sed -n 's/^ *\([0-9]*\) child.*/\1/p')
    [ "${children:-0}" -ge 1 ] || fail "the kelbra editor put no window inside ours"
  else
    fail "no window for the kelbra editor"
  fi
  wait "$host_pid" || fail "kelbra --editor exited with $?: $(cat "$work/run4.out")"
  host_pid=""
else
  err=$("$host" --plugin "$kelbra" --editor --seconds 1 --quiet 2>&1 >/dev/null)
  [ "$err" = "kelbra-host: the plug-in has no editor" ] || fail "kelbra without editor: '$err'"
fi

[ $failures -eq 0 ] || exit 1
echo "editor: all checks passed"
