#!/usr/bin/env bash
# The program's demo on the module simulator.
#
#   scripts/demo.sh BUILD_OUT_DIR [extra options for 'sonmira-cli program']
#
# Steps: list the programmer types and chips; start sonmira-modsim (first
# module) on a pseudo-terminal and point COM1 at it (COM2..COM4 lead nowhere);
# make a project of a few short sounds (sox). With a display (DISPLAY set,
# DEMO_HEADLESS unset) the desktop program opens on that project and the
# user programs the chip from it; otherwise sonmira-cli programs it, and a
# screenshot of the main window with the project is saved under Xvfb (its
# path is printed). Then the chip map the simulator kept; stop the simulator. The sound goes to the desktop's
# output when there is one, else it is captured to a WAV file in the work
# folder (SONMIRA_AUDIO_SINK overrides both). Set DEMO_KEEP=1 to keep the
# work folder.
set -euo pipefail

if [ $# -lt 1 ] || [ ! -d "$1" ]; then
  echo "usage: $0 BUILD_OUT_DIR [options for 'sonmira-cli program']" >&2
  exit 2
fi
OUT=$(cd "$1" && pwd)
shift
CLI="$OUT/sonmira-cli"
MODSIM="$OUT/sonmira-modsim"
for f in "$CLI" "$MODSIM" "$OUT/Sonmira.INI" "$OUT/sound.dat"; do
  [ -e "$f" ] || { echo "demo: missing $f (build first)" >&2; exit 1; }
done
command -v sox >/dev/null || { echo "demo: sox is needed to make the sample sounds" >&2; exit 1; }

WORK=$(mktemp -d /tmp/sonmira-demo-XXXXXX)
SIM_PID=""
cleanup() {
  if [ -n "$SIM_PID" ] && kill -0 "$SIM_PID" 2>/dev/null; then
    kill "$SIM_PID" 2>/dev/null || true
    wait "$SIM_PID" 2>/dev/null || true
  fi
  if [ "${DEMO_KEEP:-0}" = 1 ]; then echo "work folder kept: $WORK"; else rm -rf "$WORK"; fi
}
trap cleanup EXIT

# The program's folder for this run: its configuration and chip table, and
# the drivers beside them (a sanitizer build cannot find them by $ORIGIN).
cp "$OUT/Sonmira.INI" "$OUT/sound.dat" "$WORK/"
for f in qv_help.chm qv.dat; do if [ -e "$OUT/$f" ]; then cp "$OUT/$f" "$WORK/"; fi; done
for lib in "$OUT"/lib*drv.so; do ln -s "$lib" "$WORK/"; done
export SONMIRA_HOME="$WORK"

section() { printf '\n=== %s ===\n' "$1"; }

section "programmer types and chips (sonmira-cli chips)"
"$CLI" chips

section "module simulator"
"$MODSIM" --module first --map "$WORK/map.json" --log "$WORK/frames.log" >"$WORK/modsim.out" 2>"$WORK/modsim.err" &
SIM_PID=$!
for _ in $(seq 100); do
  [ -s "$WORK/modsim.out" ] && break
  sleep 0.05
done
PTY=$(head -n1 "$WORK/modsim.out")
[ -n "$PTY" ] || { echo "demo: the simulator did not start" >&2; cat "$WORK/modsim.err" >&2; exit 1; }
export SERTRA_COM1="$PTY" SERTRA_COM2=/nonexistent/sonmira-com2 SERTRA_COM3=/nonexistent/sonmira-com3 \
  SERTRA_COM4=/nonexistent/sonmira-com4
echo "first module on $PTY (COM1)"

section "sample project"
mkdir -p "$WORK/sounds"
sox -q -n -r 16000 -c 1 -b 16 "$WORK/sounds/welcome.wav" synth 0.6 sine 440:880 fade 0.02 0.6 0.05
sox -q -n -r 16000 -c 1 -b 16 "$WORK/sounds/beep.wav" synth 0.3 square 1000 vol 0.3 fade 0 0.3 0.02
sox -q -n -r 16000 -c 1 -b 16 "$WORK/sounds/chime.wav" synth 0.8 pluck C5 pluck E5 pluck G5 remix - fade 0 0.8 0.3
sox -q -n -r 16000 -c 1 -b 16 "$WORK/sounds/goodbye.wav" synth 0.5 sine 880:440 fade 0.02 0.5 0.05
"$CLI" add --programmer "SM-1 编程器" --chip SV020A "$WORK/demo.QWF" \
  "$WORK/sounds/welcome.wav" "$WORK/sounds/beep.wav" "$WORK/sounds/chime.wav" "$WORK/sounds/goodbye.wav"

if [ -z "${SONMIRA_AUDIO_SINK:-}" ]; then
  if ls /dev/snd/pcmC*p >/dev/null 2>&1 || { command -v pactl >/dev/null && pactl info >/dev/null 2>&1; }; then
    echo "sound: the desktop's output"
  else
    CAPTURE="$WORK/capture.raw"
    export SONMIRA_AUDIO_SINK="identity sync=true ! audioconvert ! audioresample ! audio/x-raw,format=S16LE,channels=1,rate=16000 ! filesink location=$CAPTURE append=true async=false"
    echo "sound: no sound card here; the sound is captured to $WORK/capture.wav"
  fi
fi

if [ -n "${DISPLAY:-}" ] && [ -z "${DEMO_HEADLESS:-}" ]; then
  section "the desktop program (sonmira) on the simulator"
  echo "press 下载录音 to program the chip; close the window to end the demo"
  set +e
  "$OUT/sonmira" "$WORK/demo.QWF"
  RC=$?
  set -e
  section "chip map kept by the simulator"
  kill "$SIM_PID" 2>/dev/null || true
  wait "$SIM_PID" 2>/dev/null || true
  SIM_PID=""
  cat "$WORK/map.json"
  echo
  exit "$RC"
fi

section "programming run (sonmira-cli program)"
export SONMIRA_DEBUG=1  # shows the trace line of every record command
set +e
"$CLI" program "$@" "$WORK/demo.QWF"
RC=$?
set -e
echo "sonmira-cli program exited with $RC"
if [ -n "${CAPTURE:-}" ] && [ -s "$CAPTURE" ]; then
  sox -q -t raw -r 16000 -e signed -b 16 -c 1 "$CAPTURE" "$WORK/capture.wav"
  echo "captured $(soxi -D "$WORK/capture.wav") s of sound in $WORK/capture.wav"
fi

if command -v xvfb-run >/dev/null && [ -x "$OUT/sonmira" ]; then
  section "the desktop program's main window (screenshot under Xvfb)"
  SHOT=$(mktemp /tmp/sonmira-main-window-XXXXXX.png)
  if SONMIRA_SCREENSHOT="$SHOT" xvfb-run -a -s "-screen 0 1024x768x24" "$OUT/sonmira" "$WORK/demo.QWF" \
    >/dev/null 2>"$WORK/screenshot.err" && [ -s "$SHOT" ]; then
    echo "screenshot of the main window with the sample project: $SHOT"
  else
    echo "demo: the screenshot could not be made:" >&2
    cat "$WORK/screenshot.err" >&2
  fi
fi

section "chip map kept by the simulator"
kill "$SIM_PID" 2>/dev/null || true
wait "$SIM_PID" 2>/dev/null || true
SIM_PID=""
cat "$WORK/map.json"
echo
exit "$RC"
