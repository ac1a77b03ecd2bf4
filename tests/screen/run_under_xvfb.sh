#!/bin/sh
# Runs a screen test program under a virtual X server; exit 77 (skipped) without one.
if ! command -v xvfb-run >/dev/null 2>&1; then
  echo "xvfb-run not found: screen tests skipped"
  exit 77
fi
exec xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" "$@"
