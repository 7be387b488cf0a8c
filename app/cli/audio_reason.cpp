#include "audio_reason.h"

#include "audio_result.h"

namespace cli {

const char* AudioReasonText(int rc) {
    switch (rc) {
        case audio::kAudioFileNotFound: return "cannot read the file";
        case audio::kAudioUnsupported: return "not an audio file that can be decoded";
        case audio::kAudioTimeout: return "decoding did not finish in time";
        default: return "measuring failed";
    }
}

}  // namespace cli
