#!/bin/sh
# Runs the real program on the display given by xvfb-run: the window shows centred at the
# layout's size without a system caption, the work folders of earlier runs are gone while that
# of another copy still running stays, and the close button ends the program. Usage: run_program_test.sh <varnik executable> <screenshot dir>
set -u
. "$(dirname "$0")/../support/close_window.sh"
program=$1
shots=$2
folder=$(mktemp -d)
home="$folder/程序 folder"
mkdir -p "$home/t/4242" "$home/t/1000" "$shots"
cp "$program" "$home/varnik"
echo "left by an earlier version" > "$home/t/0"
echo "left by a copy that ended" > "$home/t/1000/0"
: > "$home/t/1000.lock"
# Another copy of the program still running: it holds its lock file.
echo "a running copy's" > "$home/t/4242/0"
flock -o "$home/t/4242.lock" sleep 120 </dev/null >/dev/null 2>&1 &
holder=$!
for _ in $(seq 1 50); do
  flock -n "$home/t/4242.lock" true || break
  sleep 0.1
done
sleeper=$(pgrep -P "$holder")
trap 'kill "$holder" $sleeper 2>/dev/null; rm -rf "$folder"' EXIT

fail() { echo "FAIL: $*"; kill "$pid" 2>/dev/null; exit 1; }

"$home/varnik" &
pid=$!
window=""
for _ in $(seq 1 100); do
  window=$(xdotool search --onlyvisible --name '^VARNIK$' 2>/dev/null | head -n 1)
  [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || fail "no window titled VARNIK"
sleep 0.5
[ -e "$home/t/0" ] && fail "the work folder of an earlier version is still there"
[ -e "$home/t/1000" ] && fail "the work folder of a copy that ended is still there"
[ -e "$home/t/4242/0" ] || fail "the work folder of a running copy was removed"

eval "$(xdotool getwindowgeometry --shell "$window")"
[ "$WIDTH" = 876 ] && [ "$HEIGHT" = 522 ] || fail "window is ${WIDTH}x${HEIGHT}, not 876x522"
centre_x=$((X + WIDTH / 2)); centre_y=$((Y + HEIGHT / 2))
[ "$centre_x" -ge $((1280 / 2 - 1)) ] && [ "$centre_x" -le $((1280 / 2 + 1)) ] || fail "not centred: x $X"
[ "$centre_y" -ge $((1024 / 2 - 1)) ] && [ "$centre_y" -le $((1024 / 2 + 1)) ] || fail "not centred: y $Y"
import -window root "$shots/program.png" 2>/dev/null

# Dragging in the title area moves the window; dragging its corner resizes it.
xdotool mousemove $((X + 400)) $((Y + 30)) mousedown 1 sleep 0.1 mousemove $((X + 420)) $((Y + 45)) \
  sleep 0.1 mousemove $((X + 450)) $((Y + 70)) sleep 0.1 mouseup 1
sleep 0.3
old_x=$X; old_y=$Y
eval "$(xdotool getwindowgeometry --shell "$window")"
[ "$X" = $((old_x + 50)) ] && [ "$Y" = $((old_y + 40)) ] || fail "caption drag moved to $X,$Y"
xdotool mousemove $((X + WIDTH - 2)) $((Y + HEIGHT - 2)) mousedown 1 sleep 0.1 \
  mousemove $((X + WIDTH + 30)) $((Y + HEIGHT + 20)) sleep 0.1 mousemove $((X + WIDTH + 58)) $((Y + HEIGHT + 38)) \
  sleep 0.1 mouseup 1
sleep 0.3
eval "$(xdotool getwindowgeometry --shell "$window")"
[ "$WIDTH" = 936 ] && [ "$HEIGHT" = 562 ] || fail "corner drag sized the window ${WIDTH}x${HEIGHT}"
import -window root "$shots/program_moved_and_resized.png" 2>/dev/null

# A double click in the title area maximises to the screen and a second one restores.
xdotool mousemove $((X + 400)) $((Y + 30)) click --repeat 2 --delay 80 1
sleep 0.4
eval "$(xdotool getwindowgeometry --shell "$window")"
[ "$WIDTH" = 1280 ] && [ "$HEIGHT" = 1024 ] || fail "double click gave ${WIDTH}x${HEIGHT}, not the screen"
import -window root "$shots/program_maximised.png" 2>/dev/null
sleep 1  # apart from the first pair, or the toolkit counts a triple click
xdotool mousemove $((X + 400)) $((Y + 30)) click --repeat 2 --delay 80 1
sleep 0.4
eval "$(xdotool getwindowgeometry --shell "$window")"
[ "$WIDTH" = 936 ] && [ "$HEIGHT" = 562 ] || fail "second double click gave ${WIDTH}x${HEIGHT}"

close_by_button
[ -e "$home/t/4242/0" ] || fail "closing removed the work folder of a running copy"
echo "PASS"
