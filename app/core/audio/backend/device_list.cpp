#include "audio/backend/device_list.h"

#include <alsa/asoundlib.h>
#include <gst/gst.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>

#include "audio/backend/runtime.h"

namespace audio {

namespace {

constexpr auto kServerWait = std::chrono::milliseconds(1500);
constexpr GstClockTime kAnnounceWait = 100 * GST_MSECOND;

// A hint's value (allocated by alsa-lib); "" when the hint has none.
std::string HintValue(const void* hint, const char* id) {
    char* value = snd_device_name_get_hint(hint, id);
    if (!value) return std::string();
    std::string text(value);
    std::free(value);
    return text;
}

// ALSA descriptions come on several lines ("card, device\nwhat it is").
std::string OneLine(std::string text) {
    while (!text.empty() && text.back() == '\n') text.pop_back();
    for (size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 2)) text.replace(at, 1, ", ");
    return text;
}

// `direction` is ALSA's IOID: "Output" or "Input".
void AddAlsaDevices(const char* direction, std::vector<SoundOutputInfo>* out) {
    void** hints = nullptr;
    if (snd_device_name_hint(-1, "pcm", &hints) < 0 || !hints) return;
    for (void** h = hints; *h; ++h) {
        const std::string io = HintValue(*h, "IOID");  // none: both directions
        const std::string name = HintValue(*h, "NAME");
        if (name.empty() || name == "null" || !(io.empty() || io == direction)) continue;
        out->push_back({SoundOutputKind::kAlsa, name, OneLine(HintValue(*h, "DESC"))});
    }
    snd_device_name_free_hint(hints);
}

// The name pulsesink's (pulsesrc's) `device` takes: the pulse provider's "internal-name";
// the PipeWire provider (which hides the pulse one) gives it as node.name.
// ALSA's devices have an "internal-name" too (hw:0), hence the type check.
std::string DeviceName(GstDevice* device) {
    std::string name;
    if (std::strcmp(G_OBJECT_TYPE_NAME(device), "GstPulseDevice") == 0) {
        gchar* value = nullptr;
        g_object_get(device, "internal-name", &value, nullptr);
        if (value) name = value;
        g_free(value);
        return name;
    }
    if (GstStructure* props = gst_device_get_properties(device)) {
        if (const gchar* value = gst_structure_get_string(props, "node.name")) name = value;
        gst_structure_free(props);
    }
    return name;
}

// Sinks (or sources: `deviceClass` "Audio/Source") of the sound server through a device monitor. The ALSA provider's
// devices carry neither name and are left out: ALSA's own hints list them.
// The devices come from the bus, as the started providers announce them:
// gst_device_monitor_get_devices would probe every provider that did not
// start (no server), and the pulse probe leaks its connection on failure.
std::vector<SoundOutputInfo> ServerDevices(const char* deviceClass) {
    std::vector<SoundOutputInfo> devices;
    GstDeviceMonitor* monitor = gst_device_monitor_new();
    gst_device_monitor_add_filter(monitor, deviceClass, nullptr);
    if (gst_device_monitor_start(monitor)) {
        GstBus* bus = gst_device_monitor_get_bus(monitor);
        // Providers announce what they know while starting; a short wait after
        // the last announcement lets one that announces from its own thread finish.
        while (GstMessage* message = gst_bus_timed_pop_filtered(bus, kAnnounceWait, GST_MESSAGE_DEVICE_ADDED)) {
            GstDevice* device = nullptr;
            gst_message_parse_device_added(message, &device);
            const std::string name = DeviceName(device);
            // Both providers may run when neither hides the other: one entry per sink.
            const bool seen =
                std::any_of(devices.begin(), devices.end(), [&](const SoundOutputInfo& s) { return s.name == name; });
            if (!name.empty() && !seen) {
                gchar* display = gst_device_get_display_name(device);
                devices.push_back({SoundOutputKind::kSoundServer, name, display ? display : ""});
                g_free(display);
            }
            gst_object_unref(device);
            gst_message_unref(message);
        }
        gst_object_unref(bus);
        gst_device_monitor_stop(monitor);
    }
    gst_object_unref(monitor);
    return devices;
}

struct ServerQuery {
    std::mutex lock;
    std::condition_variable doneChanged;
    bool done = false;
    std::vector<SoundOutputInfo> devices;
};

// A server that accepts the connection but never answers would hold the
// listing for good: the query runs on its own thread and is given up after
// kServerWait (the thread then ends on its own, or with the process). A query
// that answers in time is joined, so that the thread has released what it
// holds (dlerror's buffer among them) before the listing returns.
std::vector<SoundOutputInfo> ServerDevicesWithin(const char* deviceClass) {
    auto query = std::make_shared<ServerQuery>();
    std::thread worker([query, deviceClass] {
        std::vector<SoundOutputInfo> devices = ServerDevices(deviceClass);
        std::lock_guard<std::mutex> hold(query->lock);
        query->devices = std::move(devices);
        query->done = true;
        query->doneChanged.notify_all();
    });
    std::unique_lock<std::mutex> hold(query->lock);
    if (!query->doneChanged.wait_for(hold, kServerWait, [&] { return query->done; })) {
        worker.detach();
        return {};
    }
    hold.unlock();
    worker.join();
    return std::move(query->devices);
}

}  // namespace

std::vector<SoundOutputInfo> ListOutputsNow() {
    EnsureAudioRuntime();
    std::vector<SoundOutputInfo> outputs;
    AddAlsaDevices("Output", &outputs);
    std::vector<SoundOutputInfo> sinks = ServerDevicesWithin("Audio/Sink");
    outputs.insert(outputs.end(), sinks.begin(), sinks.end());
    return outputs;
}

std::vector<SoundInputInfo> ListInputsNow() {
    EnsureAudioRuntime();
    std::vector<SoundInputInfo> inputs;
    AddAlsaDevices("Input", &inputs);
    std::vector<SoundInputInfo> sources = ServerDevicesWithin("Audio/Source");
    inputs.insert(inputs.end(), sources.begin(), sources.end());
    return inputs;
}

bool PulseSinkListed(const std::string& name) {
    for (const auto& o : ListOutputsNow())
        if (o.kind == SoundOutputKind::kSoundServer && o.name == name) return true;
    return false;
}

}  // namespace audio

namespace audio {

bool PulseSourceListed(const std::string& name) {
    for (const auto& i : ListInputsNow())
        if (i.kind == SoundOutputKind::kSoundServer && i.name == name) return true;
    return false;
}

}  // namespace audio
