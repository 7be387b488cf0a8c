#include "play_count_dialog.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QTimer>

#include "qt_prompt.h"
#include "ui_font.h"

namespace {

// The worker's one message (a failure, answered with OK only): shown on the
// window's thread, while the worker goes on to its end. Waiting for the box
// would hold the worker past the close step's wait.
class QueuedPrompt : public IUserPrompt {
public:
    QueuedPrompt(IUserPrompt& target, QObject* context) : target_(target), context_(context) {}
    MsgAnswer Ask(const std::string& text, const std::string& caption, MsgIcon icon, MsgButtons buttons) override {
        if (!context_ || QThread::currentThread() == context_->thread())
            return target_.Ask(text, caption, icon, buttons);
        IUserPrompt* target = &target_;
        QMetaObject::invokeMethod(
            context_.data(), [target, text, caption, icon, buttons] { target->Ask(text, caption, icon, buttons); },
            Qt::QueuedConnection);
        return MsgAnswer::Ok;
    }

private:
    IUserPrompt& target_;
    QPointer<QObject> context_;
};

}  // namespace

TFrmwPalyCount::TFrmwPalyCount(QWidget* parent, IUserPrompt* prompt)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
    setObjectName("FrmwPalyCount");
    setWindowTitle(QString::fromUtf8(kPlayCaption));
    setFont(SongFont(12));
    setFixedSize(295, 89);
    if (!prompt) {
        ownPrompt_ = std::make_unique<QtPrompt>(nullptr);
        prompt = ownPrompt_.get();
    }
    workerPrompt_ = std::make_unique<QueuedPrompt>(*prompt, this);
    run_ = std::make_unique<RunDialog>(*prompt, std::nullopt);

    labelName_ = new QLabel(this);
    labelName_->setObjectName("LabelName");
    labelName_->setAccessibleName("播放文件");
    labelName_->setGeometry(11, 8, 273, 16);

    progressBar1_ = new QProgressBar(this);
    progressBar1_->setObjectName("ProgressBar1");
    progressBar1_->setAccessibleName("播放进度");
    progressBar1_->setGeometry(11, 30, 273, 13);
    progressBar1_->setRange(0, 30);
    progressBar1_->setValue(0);
    progressBar1_->setTextVisible(false);

    button1_ = new QPushButton("取消", this);
    button1_->setObjectName("Button1");
    button1_->setAccessibleName("取消");
    button1_->setGeometry(110, 54, 75, 25);
    connect(button1_, &QPushButton::clicked, this, &TFrmwPalyCount::CloseStep);

    QtRunView::Targets t;
    t.caption = [this](const QString& text) { setWindowTitle(text); };
    t.status = [this](const QString& text, int32_t position) {
        labelName_->setText(text);
        progressBar1_->setValue(position);
    };
    t.range = [this](int32_t max) { progressBar1_->setRange(0, max); };
    t.close = [this] { CloseStep(); };
    view_ = new QtRunView(std::move(t), this);
}

// A worker still running uses the view: release it before the wait.
TFrmwPalyCount::~TFrmwPalyCount() {
    view_->Release();
    run_.reset();
}

void TFrmwPalyCount::ShowModal(PlayJob job) {
    job_ = std::make_unique<PlayJob>(std::move(job));
    exec();
}

void TFrmwPalyCount::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!job_) return;
    std::unique_ptr<PlayJob> job = std::move(job_);
    view_->Arm();
    if (!StartPlayThread(*run_, std::move(*job), *view_, *workerPrompt_))
        QTimer::singleShot(0, this, &TFrmwPalyCount::CloseStep);
}

void TFrmwPalyCount::CloseStep() {
    view_->Release();
    if (isVisible() && !hiding_) {
        hiding_ = true;
        done(QDialog::Rejected);
        hiding_ = false;
    }
    run_->Close();
}

void TFrmwPalyCount::reject() { CloseStep(); }

void TFrmwPalyCount::closeEvent(QCloseEvent* event) {
    event->accept();
    CloseStep();
}
