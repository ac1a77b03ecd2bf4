#!/bin/sh
# Runs a screen test program under a virtual X server of its own; exit 77 (skipped) when
# there is none. Xvfb picks a free display itself (-displayfd), so several runs at once
# never race for the same display number.
# -noreset: by default an X server resets itself whenever its last client disconnects and
# drops any connection made while it does so. Tests close every connection at their end and
# the next test connects at once, so its display would fail to open now and then; a desktop
# session keeps clients (its window manager) connected and never resets under a game.
# Listing a program's tests needs no X server.
for arg in "$@"; do
  [ "$arg" = "--gtest_list_tests" ] && exec "$@"
done
if ! command -v Xvfb >/dev/null 2>&1; then
  echo "Xvfb not found: screen tests skipped"
  exit 77
fi
tmp=$(mktemp -d) || exit 1
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$tmp/display" 2>"$tmp/xvfb.log" &
xvfb=$!
i=0
while [ ! -s "$tmp/display" ] && [ $i -lt 200 ] && kill -0 $xvfb 2>/dev/null; do
  sleep 0.05
  i=$((i + 1))
done
display=$(head -n 1 "$tmp/display")
if [ -z "$display" ]; then
  echo "Xvfb did not start:" >&2
  cat "$tmp/xvfb.log" >&2
  kill $xvfb 2>/dev/null
  rm -rf "$tmp"
  exit 1
fi
DISPLAY=":$display" "$@"
rc=$?
kill $xvfb 2>/dev/null
wait $xvfb 2>/dev/null
rm -rf "$tmp"
exit $rc
