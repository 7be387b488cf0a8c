// The back end's one exported function and the interface it hands out.
#include "audio/backend/capture_stage.h"
#include "audio/backend/device_list.h"
#include "audio/backend/file_samples.h"
#include "audio/backend/gst_player.h"
#include "audio/backend/length_by_content.h"
#include "audio/backend/sink_stage.h"
#include "audio/sound_backend.h"

namespace audio {
namespace {

class GstBackend final : public ISoundBackend {
public:
    int MeasureAudioLength(const std::string& path, int* lengthMs) override { return MeasureLengthNow(path, lengthMs); }
    OutputStatus AudioOutputStatus() override { return OutputStatusNow(); }
    int ChooseAudioOutput(const std::string& output, std::string* error) override {
        return ChooseOutputNow(output, error);
    }
    std::vector<SoundOutputInfo> ListSoundOutputs() override { return ListOutputsNow(); }
    std::unique_ptr<ISoundPlayer> NewPlayer() override { return std::make_unique<GstPlayer>(); }
    std::vector<SoundInputInfo> ListSoundInputs() override { return ListInputsNow(); }
    std::unique_ptr<ISoundCapture> OpenCapture(const std::string& input, int rate, std::string* error) override {
        return OpenCaptureNow(input, rate, error);
    }
    int DecodeFileSamples(const std::string& path, int rate, std::vector<float>* samples, std::string* error) override {
        return DecodeSamplesNow(path, rate, samples, error);
    }
};

}  // namespace
}  // namespace audio

// Everything else in the library is hidden; this is what the program looks up.
extern "C" __attribute__((visibility("default"))) audio::ISoundBackend* SonmiraSoundBackend(int version) {
    static audio::GstBackend backend;
    return version == audio::kSoundBackendVersion ? &backend : nullptr;
}
