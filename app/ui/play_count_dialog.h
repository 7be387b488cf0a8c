// TFrmwPalyCount: the continuous playback's dialog. Made once and reused.
// Its show step starts the playback worker; its close step (the cancel
// button, the close box, or the worker at the end) releases any update the
// worker waits in and waits for the worker up to 1000 ms. The caption never
// changes.
#pragma once

#include <QDialog>
#include <memory>

#include "play_thread.h"
#include "qt_run_view.h"
#include "run_dialog.h"
#include "user_prompt.h"

class QLabel;
class QProgressBar;
class QPushButton;

class TFrmwPalyCount : public QDialog {
    Q_OBJECT
public:
    // prompt: where the worker's failure message goes (it is carried over to
    // this window's thread and not waited for); nullptr: a message box with no owner.
    explicit TFrmwPalyCount(QWidget* parent = nullptr, IUserPrompt* prompt = nullptr);
    ~TFrmwPalyCount() override;

    RunDialog& Run() { return *run_; }
    QtRunView& View() { return *view_; }

    // Shows the dialog modally; its show step starts the playback of `job`.
    // Returns when the dialog has closed.
    void ShowModal(PlayJob job);

    QLabel* LabelName() const { return labelName_; }
    QProgressBar* ProgressBar1() const { return progressBar1_; }
    QPushButton* Button1() const { return button1_; }

public slots:
    void reject() override;  // Esc: the cancel button

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void CloseStep();

    std::unique_ptr<IUserPrompt> ownPrompt_;
    std::unique_ptr<IUserPrompt> workerPrompt_;
    std::unique_ptr<RunDialog> run_;
    QtRunView* view_;
    QLabel* labelName_;
    QProgressBar* progressBar1_;
    QPushButton* button1_;
    std::unique_ptr<PlayJob> job_;
    bool hiding_ = false;
};
