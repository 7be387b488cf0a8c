# `cpack -G DEB` (scripts/package.sh): the Debian package of what
# install_layout.cmake installs under /usr.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME sonmira)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_CONTACT "The Sonmira team <team@sonmira.org>")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://sonmira.org/)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "fill voice record/playback chips with prepared sound")
# The first line of the control file's description is the summary above.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Sonmira programs voice record/playback chips through a programmer module on
a serial port. It keeps a list of audio files (WAV, MP3, WMA, MIDI), gives
each a chip address range computed from its play length and the chip's
parameters, and records them segment by segment while it plays each file on
the computer's sound output. It also plays the chip back, listens to it to
verify what it holds, and keeps the list in project files.
.
The package holds the desktop program (sonmira), the command-line tool for
benches and production lines (sonmira-cli) and a module simulator
(sonmira-modsim).")
# Libraries the binaries link come from dpkg-shlibdeps. What they load at run
# time cannot be seen there: GStreamer's decoders and sinks, Qt's platform
# plug-in and the General MIDI soundfont that FluidSynth renders MIDI with.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "gstreamer1.0-plugins-base, gstreamer1.0-plugins-good, gstreamer1.0-alsa, qt6-qpa-plugins, timgm6mb-soundfont | sf2-soundfont-gm")
# WMA needs libav's decoders; the sound server's sources and sinks need its
# plug-in; Qt's own texts in Chinese and a Song-style face for the program's look.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "gstreamer1.0-libav, gstreamer1.0-pulseaudio, qt6-translations-l10n, fonts-arphic-uming")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
include(CPack)
