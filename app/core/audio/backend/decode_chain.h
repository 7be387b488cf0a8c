// A GStreamer pipeline driven without a GLib main loop: the bus is read by a
// synchronous handler into flags, and callers wait on a condition variable.
// Used by the length measurement and by the player.
#pragma once

#include <gst/gst.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>

namespace audio {

class DecodeChain {
public:
    DecodeChain() = default;
    ~DecodeChain();
    DecodeChain(const DecodeChain&) = delete;
    DecodeChain& operator=(const DecodeChain&) = delete;

    // filesrc ! decodebin ! audioSink. The first raw audio pad goes to
    // audioSink (whose floating reference is taken); any other pad ends in a
    // fakesink so that it cannot stall the pipeline. MIDI is never decoded here.
    int Build(const std::string& path, GstElement* audioSink);
    // source ! audioSink, for a source that already produces raw audio.
    int BuildFromSource(GstElement* source, GstElement* audioSink);

    // To PAUSED; returns when pre-rolled (or the sink does not pre-roll) and
    // decodebin has exposed its pads. kAudioUnsupported when nothing decodable.
    int Preroll(GstClockTime timeout);
    // To PLAYING; returns at once.
    int Start();
    // To PLAYING and wait for the end of the stream.
    int RunToEnd(GstClockTime timeout);

    bool NeedsDecoder() const;  // a decoder element was plugged (the duration is an estimate)
    // The sound is over at the output: end-of-stream reached it and the clock
    // has passed the end of the last sample that went into it (or it failed).
    // A sink that hands its last buffer on at the buffer's start (an
    // "identity sync=true" in front of a file) posts end-of-stream one buffer
    // early, up to a quarter second for 8 kHz WAV.
    bool PlayedOut() const;
    bool Failed() const;
    GstElement* Pipeline() const { return pipeline_; }

    // To NULL (joins the streaming threads) and release everything.
    void Teardown();

private:
    static GstBusSyncReply OnBusMessage(GstBus*, GstMessage* msg, gpointer self);
    static void OnPadAdded(GstElement*, GstPad* pad, gpointer self);
    static void OnNoMorePads(GstElement*, gpointer self);
    static gboolean OnAutoplugContinue(GstElement*, GstPad*, GstCaps* caps, gpointer);
    static GstPadProbeReturn OnOutputData(GstPad*, GstPadProbeInfo* info, gpointer self);
    void WatchOutput();
    void NoteBufferEnd(GstBuffer* buf);
    int64_t SoundLeftAtEosUs() const;
    bool WaitFor(bool (DecodeChain::*done)() const, GstClockTime timeout);
    bool PadsSettledOrFailed() const { return padsDone_ || error_; }
    bool EndedOrFailed() const { return eos_ || error_; }

    GstElement* pipeline_ = nullptr;
    GstElement* decodebin_ = nullptr;
    GstElement* audioSink_ = nullptr;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    bool audioClaimed_ = false;
    bool audioLinked_ = false;
    bool padsDone_ = false;
    bool eos_ = false;
    bool error_ = false;
    int64_t playedOutAtUs_ = 0;              // g_get_monotonic_time() at which the sound is over
    GstSegment segment_{};                   // the output's current segment (streaming thread only)
    std::atomic<int64_t> endRunningNs_{-1};  // running time at which the last sample sent to the output ends
};

}  // namespace audio
