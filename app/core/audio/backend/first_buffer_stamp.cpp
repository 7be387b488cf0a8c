#include "audio/backend/first_buffer_stamp.h"

#include <unistd.h>

#include "audio/backend/gst_threads.h"
#include "audio/mono_clock.h"
#include "audio/play_log.h"

namespace audio {
namespace {

GstPadProbeReturn OnBuffer(GstPad*, GstPadProbeInfo*, gpointer data) {
    const GstThreadCallback onGstThread;
    auto* s = static_cast<FirstBufferStamp*>(data);
    int expected = 0;
    s->state.compare_exchange_strong(expected, 1);
    // Play started before this buffer, or since: whichever of this probe and
    // OnPlaying moves the state on to 2 writes the line.
    if (s->playing.load()) {
        expected = 1;
        if (s->state.compare_exchange_strong(expected, 2)) s->Write();
    }
    return GST_PAD_PROBE_REMOVE;
}

}  // namespace

void FirstBufferStamp::Attach(GstPad* sinkPad) {
    if (logPath.empty() || !sinkPad) return;
    gst_pad_add_probe(sinkPad, GST_PAD_PROBE_TYPE_BUFFER, OnBuffer, this, nullptr);
}

void FirstBufferStamp::OnPlaying() {
    playing.store(true);
    int expected = 1;
    if (state.compare_exchange_strong(expected, 2)) Write();
}

void FirstBufferStamp::Write() { AppendPlayLogLine(logPath, FirstBufferLine(MonotonicNs(), file, getpid())); }

}  // namespace audio
