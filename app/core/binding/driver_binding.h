// The bound module driver: one library loaded at a time, its driver object,
// and the one lock through which every thread reaches that object.
//
// Use:
//   DriverBinding drivers;                       // one per program
//   BindResult r = drivers.Bind(file, programDir);
//   if (!r.message.empty()) show r.message with caption r.caption;
//
//   // user-interface command
//   DriverLease lease = drivers.TryAcquire(std::chrono::milliseconds(1000));
//   if (!lease) ... a worker still has the driver: refuse or say "busy";
//   if (!lease.driver()) ... nothing bound: do nothing, show nothing;
//   int32_t rc = lease->BeginRecording(chipCode, auxMode);
//
//   // worker: hold a lease for the whole run, or take one per call.
//
// Thread contract: Bind, Unbind and the destructor wait for every lease to be
// returned (they take the same lock), so a driver is never unloaded under a
// caller. A thread must not call them, nor Acquire again, while it holds a
// lease: the lock is not recursive. A lease must not outlive its binding.
#pragma once

#include <stdint.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>

#include "IDevInter.h"

namespace binding {

// Outcome of a binding.
enum BindCode : int32_t {
    kBindOk = 0,          // library loaded, driver object made
    kBindNoFile = 1,      // empty file name: no driver bound, nothing to tell
    kBindNotFound = -1,   // the library cannot be loaded (or is not a whole one for this machine)
    kBindNoFactory = -2,  // the library has no CreateObj
    kBindNoObject = -3,   // CreateObj gave no object
};

struct BindResult {
    int32_t code = kBindNoFile;
    std::string message;  // for the user: empty, or messages::MsgId::DriverFileNotFound's text for the file
    std::string caption;  // that message's caption when there is one
    std::string detail;   // why: the loader's own text, or what is wrong with the file (shown on a second line)
};

// Scoped access to the bound driver. Empty (false) when the wait ran out.
class DriverLease {
public:
    DriverLease() = default;
    DriverLease(DriverLease&&) = default;
    DriverLease& operator=(DriverLease&&) = default;

    explicit operator bool() const { return lock_.owns_lock(); }
    IDevInter* driver() const { return driver_; }  // null when no driver is bound
    IDevInter* operator->() const { return driver_; }

private:
    friend class DriverBinding;
    DriverLease(std::unique_lock<std::timed_mutex> lock, IDevInter* driver) : lock_(std::move(lock)), driver_(driver) {}

    std::unique_lock<std::timed_mutex> lock_;
    IDevInter* driver_ = nullptr;
};

class DriverBinding {
public:
    DriverBinding() = default;
    ~DriverBinding();  // unbinds
    DriverBinding(const DriverBinding&) = delete;
    DriverBinding& operator=(const DriverBinding&) = delete;

    // Unbinds, then loads `file` and makes its driver object. A bare name is
    // looked for in programDir first, then by the loader's own search; a name
    // with a '/' is used as written.
    BindResult Bind(const std::string& file, const std::string& programDir);

    // Destroys the object first (its destructor closes the port it holds),
    // then unloads the library.
    void Unbind();

    // Does not wait for a lease.
    bool IsBound() const { return bound_.load(); }

    // Waits as long as it takes.
    DriverLease Acquire();
    // Waits at most `wait`; an empty lease when a lease is still held elsewhere.
    DriverLease TryAcquire(std::chrono::milliseconds wait);

private:
    void UnbindLocked();

    mutable std::timed_mutex mutex_;
    void* handle_ = nullptr;
    IDevInter* driver_ = nullptr;
    std::atomic<bool> bound_{false};
};

}  // namespace binding
