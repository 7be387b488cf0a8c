#include "audio_reason.h"

#include "audio/audio_result.h"

namespace cli {

const char* AudioReasonText(int rc) {
    switch (rc) {
        case audio::kAudioFileNotFound: return "cannot read the file";
        case audio::kAudioUnsupported: return "not an audio file that can be decoded";
        case audio::kAudioTimeout: return "decoding did not finish in time";
        default: return "measuring failed";
    }
}

const char* PlayReasonText(int rc) {
    switch (rc) {
        case audio::kAudioNoOutput: return "no sound output";
        case audio::kAudioFileNotFound: return "cannot read the file";
        case audio::kAudioUnsupported: return "not an audio file that can be decoded";
        case audio::kAudioTimeout: return "the sound did not start in time";
        default: return "the sound output failed";
    }
}

}  // namespace cli
