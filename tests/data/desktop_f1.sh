#!/usr/bin/env bash
# Starts the desktop program PROGRAM on the X server of DISPLAY, waits for its
# main window, types F1 into it (XTEST), waits for the help window, and checks
# that the program holds MANUAL open. Says what it did not find; exits 0 when
# everything was there. Run it on an X server of its own: on a shared one
# another program's window may take the focus, or carry the same title.
# Usage: desktop_f1.sh PROGRAM MANUAL
set -u
program=$1 manual=$2
"$program" >/dev/null 2>&1 &
pid=$!
trap 'kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null' EXIT
main=$(timeout 120 xdotool search --sync --onlyvisible --name '^语音编程器' | head -n1)
[ -n "$main" ] || { echo "no main window"; exit 1; }
xdotool windowfocus --sync "$main" key F1 || { echo "F1 could not be typed"; exit 1; }
timeout 120 xdotool search --sync --onlyvisible --name '^Sonmira 帮助$' >/dev/null || { echo "no help window"; exit 1; }
for fd in /proc/"$pid"/fd/*; do
  [ "$(readlink "$fd")" = "$manual" ] && exit 0
done
echo "the help window does not hold $manual"
exit 1
