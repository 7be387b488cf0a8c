// IRunView for a progress dialog: a worker's caption, status and range calls
// are carried out on the user-interface thread while the worker waits.
//
// The dialog's close step waits up to 1000 ms on the user-interface thread
// for the worker, which may at that moment be waiting in an update that only
// that thread can carry out. So the close step first calls Release(): every
// update still waiting is dropped and its worker goes on at once, and later
// updates are dropped until the next Arm(). Calls made on the user-interface
// thread itself (the command preparing the dialog) are carried out directly.
// CloseDialog never waits: it queues the dialog's close step.
#pragma once

#include <QObject>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "runs/run_view.h"

class QtRunView : public QObject, public runs::IRunView {
public:
    // What each call does to the dialog, on the user-interface thread.
    struct Targets {
        std::function<void(const QString&)> caption;
        std::function<void(const QString&, int32_t)> status;
        std::function<void(int32_t)> range;
        std::function<void()> close;
    };

    explicit QtRunView(Targets targets, QObject* parent = nullptr);
    ~QtRunView() override;

    void SetCaption(const std::string& text) override;
    void SetStatus(const std::string& text, int32_t position) override;
    void SetRange(int32_t max) override;
    void CloseDialog() override;

    // Show step: workers' updates are carried out again.
    void Arm();
    // Close step: waiting updates are dropped, their workers released.
    void Release();
    // Updates queued and not yet carried out or dropped (tests look at it).
    int Waiting() const;

private:
    struct Update {
        std::function<void()> apply;
        bool finished = false;  // carried out or dropped
    };
    void Carry(std::function<void()> apply);

    Targets targets_;
    mutable std::mutex mutex_;
    std::condition_variable finished_;
    bool armed_ = true;
    std::vector<std::shared_ptr<Update>> waiting_;
};
