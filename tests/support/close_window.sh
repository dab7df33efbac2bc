# Sourced by the window scripts: clicks the close button of the window at X,Y of WIDTH (39x19 at
# the right edge, 3 pixels in, 4 down), waits for program $pid to end and checks it ended well.
close_by_button() {
  xdotool mousemove $((X + WIDTH - 3 - 20)) $((Y + 4 + 9)) click 1
  for _ in $(seq 1 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$pid" 2>/dev/null && fail "the close button did not end the program"
  wait "$pid"
  status=$?
  [ "$status" = 0 ] || fail "exit status $status"
}
