// A GStreamer pipeline driven without a GLib main loop: the bus is read by a
// synchronous handler into flags, and callers wait on a condition variable.
// Used by the length measurement and by the player.
#pragma once

#include <gst/gst.h>

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
    bool AtEnd() const;
    bool Failed() const;
    GstElement* Pipeline() const { return pipeline_; }

    // To NULL (joins the streaming threads) and release everything.
    void Teardown();

private:
    static GstBusSyncReply OnBusMessage(GstBus*, GstMessage* msg, gpointer self);
    static void OnPadAdded(GstElement*, GstPad* pad, gpointer self);
    static void OnNoMorePads(GstElement*, gpointer self);
    static gboolean OnAutoplugContinue(GstElement*, GstPad*, GstCaps* caps, gpointer);
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
};

}  // namespace audio
