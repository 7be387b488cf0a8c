// What GStreamer's streaming threads are handed and hand back, told to
// ThreadSanitizer.
//
// The program's thread and GStreamer's threads hand work to each other under
// GLib's locks, which wait on futexes that ThreadSanitizer does not see (see
// tests/tsan.supp). It would therefore miss two guarantees that GStreamer
// gives, and report races that cannot happen:
//  - what a thread did before changing a pipeline's state (building it, and
//    the objects our callbacks work on) comes before the callbacks GStreamer
//    then runs on its threads;
//  - what those callbacks did comes before the change to NULL has returned
//    (it joins the streaming threads), and what the data did on its way to
//    the sink comes before end-of-stream is seen.
// These marks state exactly those two; outside the ThreadSanitizer build
// they are empty. Everything else our callbacks share with the program's
// threads goes through our own mutexes and atomics, which ThreadSanitizer
// checks in full; two callbacks are not ordered by the marks.
#pragma once

#include <gst/gst.h>

#if defined(__SANITIZE_THREAD__)
#include <sanitizer/tsan_interface.h>
#endif

namespace audio {

#if defined(__SANITIZE_THREAD__)
inline char g_toGstThreads, g_fromGstThreads;  // the marks' addresses
#endif

// Before a state change that lets GStreamer's threads run our callbacks.
inline void HandToGstThreads() {
#if defined(__SANITIZE_THREAD__)
    __tsan_release(&g_toGstThreads);
#endif
}

// Once GStreamer's threads are done with what they were handed: after the
// change to NULL, or after end-of-stream for the data that came before it.
inline void TakeBackFromGstThreads() {
#if defined(__SANITIZE_THREAD__)
    __tsan_acquire(&g_fromGstThreads);
#endif
}

// Ends a pipeline of ours: to NULL (which joins its streaming threads), what
// they were handed taken back, our bus handler dropped, the pipeline released.
inline void ReleasePipeline(GstElement* pipeline) {
    gst_element_set_state(pipeline, GST_STATE_NULL);
    TakeBackFromGstThreads();
    GstBus* bus = gst_element_get_bus(pipeline);
    gst_bus_set_sync_handler(bus, nullptr, nullptr, nullptr);
    gst_object_unref(bus);
    gst_object_unref(pipeline);
}

// For the length of a callback that GStreamer runs on one of its threads.
class GstThreadCallback {
public:
    GstThreadCallback() {
#if defined(__SANITIZE_THREAD__)
        __tsan_acquire(&g_toGstThreads);
#endif
    }
    ~GstThreadCallback() {
#if defined(__SANITIZE_THREAD__)
        __tsan_release(&g_fromGstThreads);
#endif
    }
    GstThreadCallback(const GstThreadCallback&) = delete;
    GstThreadCallback& operator=(const GstThreadCallback&) = delete;
};

}  // namespace audio
