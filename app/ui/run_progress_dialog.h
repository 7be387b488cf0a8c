// TFrmwWait: the programming run's progress dialog. Made once and reused.
// Its show step starts the worker the download command prepared; its close
// step (the cancel button, the close box, or the worker at the end of the
// run) releases any update the worker waits in, waits for the worker up to
// 1000 ms and reports an address overflow, owned by the dialog.
#pragma once

#include <QDialog>
#include <functional>
#include <memory>

#include "qt_run_view.h"
#include "run_dialog.h"
#include "user_prompt.h"

class QLabel;
class QMovie;
class QProgressBar;
class QPushButton;
class QtPrompt;

class TFrmwWait : public QDialog {
    Q_OBJECT
public:
    // prompt: where the overflow message goes; nullptr: a message box owned by the dialog.
    explicit TFrmwWait(QWidget* parent = nullptr, IUserPrompt* prompt = nullptr);
    ~TFrmwWait() override;

    RunDialog& Run() { return *run_; }
    QtRunView& View() { return *view_; }

    // The clip the dialog loops ("qv.dat" beside the program). A file that
    // is missing or not a clip leaves the area blank.
    void PrepareClip(const QString& path);
    // Shows the dialog modally; its show step calls `start` (it starts the
    // worker, false when the dialog refused). Returns when the dialog closed.
    void ShowModal(std::function<bool()> start);

    QLabel* Animate1() const { return animate1_; }
    QMovie* Clip() const { return clip_; }
    QLabel* LabelName() const { return labelName_; }
    QProgressBar* ProgressBar1() const { return progressBar1_; }
    QPushButton* Button1() const { return button1_; }

public slots:
    void reject() override;  // Esc: the cancel button

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // Cancel, close box and the worker's close request.
    void CloseStep();

    std::unique_ptr<QtPrompt> ownPrompt_;
    std::unique_ptr<RunDialog> run_;
    QtRunView* view_;
    QLabel* animate1_;
    QMovie* clip_;
    QLabel* labelName_;
    QProgressBar* progressBar1_;
    QPushButton* button1_;
    std::function<bool()> start_;
    bool hiding_ = false;
};
