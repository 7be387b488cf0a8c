// Result codes of the audio player and the length measurement. Callers may
// ignore them; 0 is success, every failure is positive.
#pragma once

#include <string>

namespace audio {

enum AudioResult : int {
    kAudioOk = 0,
    kAudioNotOpen = 1,       // nothing is open (Close/Play on a closed player)
    kAudioFileNotFound = 2,  // the file is missing or unreadable
    kAudioUnsupported = 3,   // not an audio file GStreamer or the MIDI path can decode
    kAudioNoOutput = 4,      // no sound output device: nothing can be played
    kAudioFailed = 5,        // the pipeline failed (element missing, state change refused)
    kAudioTimeout = 6,       // pre-roll or decoding did not finish in time
};

// A regular file that can be read. Anything else (a folder, a FIFO that would
// block the reader, a device) is refused before GStreamer sees it.
bool IsReadableFile(const std::string& path);

}  // namespace audio
