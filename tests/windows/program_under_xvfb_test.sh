#!/bin/sh
# varnik.exe under Wine on the display xvfb-run gives: the window titled VARNIK shows at the
# layout's size, stays up, is photographed, and its close button ends the program.
# Usage: program_under_xvfb_test.sh <wine-run> <varnik.exe> <screenshot dir>
set -u
. "$(dirname "$0")/../support/close_window.sh"
wine_run=$1
program=$2
shots=$3
folder=$(mktemp -d)
home="$folder/程序 folder"
mkdir -p "$home" "$shots"
cp "$program" "$home/varnik.exe"
trap 'rm -rf "$folder"' EXIT

fail() { echo "FAIL: $*"; kill "$pid" 2>/dev/null; exit 1; }

VARNIK_WINE_GUI=1 "$wine_run" "$home/varnik.exe" &
pid=$!
window=""
# The first start of Wine's services on a display takes a while.
for _ in $(seq 1 600); do
  window=$(xdotool search --onlyvisible --name '^VARNIK$' 2>/dev/null | head -n 1)
  [ -n "$window" ] && break
  kill -0 "$pid" 2>/dev/null || fail "the program ended before it showed a window"
  sleep 0.1
done
[ -n "$window" ] || fail "no window titled VARNIK"
sleep 3
kill -0 "$pid" 2>/dev/null || fail "the program did not stay up"
eval "$(xdotool getwindowgeometry --shell "$window")"
[ "$WIDTH" = 876 ] && [ "$HEIGHT" = 522 ] || fail "window is ${WIDTH}x${HEIGHT}, not 876x522"
import -window root "$shots/windows_program.png" 2>/dev/null

close_by_button
echo "PASS"
