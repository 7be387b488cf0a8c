#include "dialogs/run_window.h"

#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include "dialogs/dialog_controls.h"
#include "ui_font.h"

RunWindow::RunWindow(QWidget* parent, const Controls& controls) : QDialog(parent, FixedDialogFlags()) {
    setFont(SongFont(12));

    labelName_ = ValueLabel(this, "LabelName", controls.labelCaption);
    labelName_->setGeometry(controls.label);

    progressBar1_ = new QProgressBar(this);
    progressBar1_->setObjectName("ProgressBar1");
    progressBar1_->setAccessibleName(QString::fromUtf8(controls.barName));
    progressBar1_->setGeometry(controls.bar);
    progressBar1_->setRange(0, 30);
    progressBar1_->setValue(0);
    progressBar1_->setTextVisible(false);

    button1_ = new QPushButton("取消", this);
    button1_->setObjectName("Button1");
    button1_->setAccessibleName("取消");
    button1_->setGeometry(controls.button);
    connect(button1_, &QPushButton::clicked, this, &RunWindow::CloseStep);
}

void RunWindow::SetUpRun(messages::IUserPrompt& prompt, std::optional<messages::MsgId> closingMessage) {
    run_ = std::make_unique<runs::RunDialog>(prompt, closingMessage);
    QtRunView::Targets t;
    t.caption = [this](const QString& text) { setWindowTitle(text); };
    t.status = [this](const QString& text, int32_t position) {
        ShowValue(labelName_, text);
        progressBar1_->setValue(position);
    };
    t.range = [this](int32_t max) { progressBar1_->setRange(0, max); };
    t.close = [this] {
        OnWorkerClose();
        CloseStep();
    };
    view_ = new QtRunView(std::move(t), this);
}

// A worker still running uses the view: release it before the wait.
void RunWindow::EndRun() {
    if (view_) view_->Release();
    run_.reset();
}

RunWindow::~RunWindow() { EndRun(); }

void RunWindow::ShowModalStarting(std::function<bool()> start) {
    start_ = std::move(start);
    exec();
}

void RunWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    OnShow();
    if (!start_) return;
    view_->Arm();
    const std::function<bool()> start = std::move(start_);
    start_ = nullptr;
    if (!start()) QTimer::singleShot(0, this, &RunWindow::CloseStep);
}

void RunWindow::CloseStep() {
    view_->Release();
    if (isVisible() && !hiding_) {
        hiding_ = true;
        done(QDialog::Rejected);
        hiding_ = false;
    }
    run_->Close();
}

void RunWindow::reject() { CloseStep(); }

void RunWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    CloseStep();
}
