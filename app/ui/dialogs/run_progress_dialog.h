// TFrmwWait: the programming run's progress dialog. Made once and reused.
// Its show step starts the worker the download command prepared; its close
// step (the cancel button, the close box, or the worker at the end of the
// run) releases any update the worker waits in, waits for the worker up to
// 1000 ms and reports an address overflow, owned by the dialog.
#pragma once

#include <functional>
#include <memory>

#include "dialogs/run_window.h"

class QLabel;
class QMovie;
class QtPrompt;

class TFrmwWait : public RunWindow {
    Q_OBJECT
public:
    // prompt: where the overflow message goes; nullptr: a message box owned by the dialog.
    explicit TFrmwWait(QWidget* parent = nullptr, messages::IUserPrompt* prompt = nullptr);
    ~TFrmwWait() override;

    // The clip the dialog loops ("qv.dat" beside the program). A file that
    // is missing or not a clip leaves the area blank.
    void PrepareClip(const QString& path);
    // Shows the dialog modally; its show step calls `start` (it starts the
    // worker, false when the dialog refused). Returns when the dialog closed.
    void ShowModal(std::function<bool()> start) { ShowModalStarting(std::move(start)); }

    QLabel* Animate1() const { return animate1_; }
    QMovie* Clip() const { return clip_; }

protected:
    void OnShow() override;
    void OnWorkerClose() override;

private:
    std::unique_ptr<QtPrompt> ownPrompt_;
    QLabel* animate1_;
    QMovie* clip_;
};
