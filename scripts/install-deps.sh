#!/usr/bin/env bash
# Installs every Debian package that the build, the program and the tests need.
# Idempotent: packages already present are not fetched again.
set -euo pipefail

PACKAGES=(
  # build; ThreadSanitizer's runtime for the second build of test.sh
  build-essential cmake pkg-config git libtsan2
  # core tests
  googletest libgtest-dev libgmock-dev
  # fuzzing (optional CMake target)
  clang-14 libclang-rt-14-dev
  # formatting check (scripts/check-format.sh, run as a test)
  clang-format-14
  # audio: GStreamer decoding and output, MIDI through FluidSynth, ALSA mixer
  libgstreamer1.0-dev libgstreamer-plugins-base1.0-dev
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-plugins-bad
  gstreamer1.0-plugins-ugly gstreamer1.0-libav gstreamer1.0-tools gstreamer1.0-alsa
  libfluidsynth-dev timgm6mb-soundfont
  libasound2-dev libasound2-plugins
  # listening: capture from the sound server; the tests' own private
  # PulseAudio with null sinks as wires
  gstreamer1.0-pulseaudio pulseaudio pulseaudio-utils
  # test material: real encoded files are made at test time
  sox libsox-fmt-all lame ffmpeg
  # the desktop program: Qt 6 Widgets and SVG, Qt's own Chinese translations,
  # a Song-style CJK face, and an X server for its tests and screenshots
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-translations-l10n
  fonts-arphic-uming xvfb xauth
  # the help viewer (chmlib) and the help file's compiler (chmcmd)
  libchm-dev fp-utils
  # the command-line tool's option parser; JSON in the simulator and the tests
  libcli11-dev nlohmann-json3-dev
  # SHA-256 of the production record (GChecksum)
  libglib2.0-dev
  # comparing a chip's playback with its file (app/core/verify): FFTW, single precision
  libfftw3-dev
  # benchmarks and tools
  python3
  # the package (scripts/package.sh and its test): the icon's PNG sizes, and
  # the checks of the package, its desktop entry, metadata and file type
  librsvg2-bin lintian desktop-file-utils appstream shared-mime-info
  # keys typed into the unpacked desktop program by the package's test (XTEST)
  xdotool
  # the manual pages, made from the programs' --help at build time, and
  # man, with which their test renders them as lintian does
  help2man man-db
)

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "install-deps: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
