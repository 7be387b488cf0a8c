// What the programming and the playback dialogs share: the file label, the
// progress bar and "取消", the run's RunDialog and the view that carries the
// worker's updates. The show step starts the worker; the close step (the
// cancel button, Esc, the close box, or the worker at its end) releases any
// update the worker waits in, hides the dialog and waits for the worker up
// to 1000 ms.
#pragma once

#include <QDialog>
#include <QRect>
#include <functional>
#include <memory>
#include <optional>

#include "messages/messages.h"
#include "dialogs/qt_run_view.h"
#include "runs/run_dialog.h"
#include "messages/user_prompt.h"

class QLabel;
class QProgressBar;
class QPushButton;

class RunWindow : public QDialog {
    Q_OBJECT
public:
    ~RunWindow() override;

    runs::RunDialog& Run() { return *run_; }
    QtRunView& View() { return *view_; }
    QLabel* LabelName() const { return labelName_; }
    QProgressBar* ProgressBar1() const { return progressBar1_; }
    QPushButton* Button1() const { return button1_; }

public slots:
    void reject() override;  // Esc: the cancel button

protected:
    // Where the three controls lie, what a screen reader says the label is
    // (its name is the file it shows) and what it calls the bar.
    struct Controls {
        QRect label, bar, button;
        const char* labelCaption;
        const char* barName;
    };
    RunWindow(QWidget* parent, const Controls& controls);
    // The run over `prompt` (which must outlive it), with the message its
    // close step shows, if any.
    void SetUpRun(messages::IUserPrompt& prompt, std::optional<messages::MsgId> closingMessage);
    // The run's end, before the subclass's own members go: release the view,
    // then wait for the worker.
    void EndRun();
    // Shows the dialog modally; the show step calls `start` (false: the
    // worker was refused, and the dialog closes). Returns when it closed.
    void ShowModalStarting(std::function<bool()> start);
    // Each show, before the worker starts.
    virtual void OnShow() {}
    // The worker's close request, before the close step.
    virtual void OnWorkerClose() {}

    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void CloseStep();

    std::unique_ptr<runs::RunDialog> run_;
    QtRunView* view_ = nullptr;
    QLabel* labelName_;
    QProgressBar* progressBar1_;
    QPushButton* button1_;
    std::function<bool()> start_;
    bool hiding_ = false;
};
