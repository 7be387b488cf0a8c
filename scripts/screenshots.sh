#!/usr/bin/env bash
# Saves the desktop program's main window (empty and with a sample project)
# and its dialogs as PNG files, under Xvfb, from a build's out folder.
#
#   scripts/screenshots.sh BUILD_OUT_DIR [OUT_DIR [--manual]]   (OUT_DIR: ./screenshots)
set -euo pipefail
REPO=$(cd "$(dirname "$0")/.." && pwd)
if [ $# -lt 1 ] || [ ! -x "$1/sonmira-screenshots" ]; then
  echo "usage: $0 BUILD_OUT_DIR [OUT_DIR]  (build the target sonmira-screenshots first)" >&2
  exit 2
fi
OUT=$(cd "$1" && pwd)
DEST=$(mkdir -p "${2:-screenshots}" && cd "${2:-screenshots}" && pwd)
WORK=$(mktemp -d /tmp/sonmira-shots-XXXXXX)
trap 'rm -rf "$WORK"' EXIT
cp "$OUT/Sonmira.INI" "$OUT/sound.dat" "$WORK/"
for f in qv_help.chm qv.dat; do if [ -e "$OUT/$f" ]; then cp "$OUT/$f" "$WORK/"; fi; done
for lib in "$OUT"/lib*drv.so; do ln -s "$lib" "$WORK/"; done
export SONMIRA_HOME="$WORK"
# A sanitized build's tools pass over the sound libraries' own leaks, as in test.sh.
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$REPO/tests/lsan.supp:print_suppressions=0}
mkdir -p "$WORK/sounds"
sox -q -n -r 16000 -c 1 -b 16 "$WORK/sounds/welcome.wav" synth 0.6 sine 440:880
sox -q -n -r 16000 -c 1 -b 16 "$WORK/sounds/beep.wav" synth 0.3 square 1000 vol 0.3
sox -q -n -r 16000 -c 1 -b 16 "$WORK/sounds/chime.wav" synth 0.8 pluck C5
"$OUT/sonmira-cli" add "$WORK/demo.QWF" "$WORK/sounds/welcome.wav" "$WORK/sounds/beep.wav" \
  "$WORK/sounds/chime.wav" >/dev/null
# The file browser lists the working folder: the sample sounds.
cd "$WORK/sounds"
xvfb-run -a -s "-screen 0 1280x1024x24" "$OUT/sonmira-screenshots" "$DEST" "$WORK/demo.QWF"
# The manual shows some of these windows: with --manual as a third argument
# they replace the manual's pictures of the same name.
if [ "${3:-}" = "--manual" ]; then
  MANUAL="$REPO/docs/help/images"
  for f in "$DEST"/*.png; do
    if [ -e "$MANUAL/$(basename "$f")" ]; then cp "$f" "$MANUAL/" && echo "manual picture: $(basename "$f")"; fi
  done
fi
