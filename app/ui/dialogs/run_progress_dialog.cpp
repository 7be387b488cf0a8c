#include "dialogs/run_progress_dialog.h"

#include <QLabel>
#include <QMovie>

#include "dialogs/qt_prompt.h"

TFrmwWait::TFrmwWait(QWidget* parent, messages::IUserPrompt* prompt)
    : RunWindow(parent, Controls{QRect(16, 60, 356, 16), QRect(16, 94, 273, 16), QRect(300, 89, 75, 25), "编程文件",
                                 "编程进度"}) {
    setObjectName("FrmwWait");
    setWindowTitle("正在编程......");
    setFixedSize(388, 129);
    if (!prompt) {
        ownPrompt_ = std::make_unique<QtPrompt>(this);
        prompt = ownPrompt_.get();
    }
    SetUpRun(*prompt, messages::MsgId::RecOverflow);

    animate1_ = new QLabel(this);
    animate1_->setObjectName("Animate1");
    animate1_->setAccessibleName("正在编程");
    animate1_->setGeometry(64, 8, 260, 40);
    clip_ = new QMovie(this);
    clip_->setFormat("gif");
    animate1_->setMovie(clip_);
}

TFrmwWait::~TFrmwWait() { EndRun(); }

void TFrmwWait::PrepareClip(const QString& path) {
    clip_->stop();
    clip_->setFileName(path);
}

void TFrmwWait::OnShow() {
    // The clip starts from its first frame on every show; a file that is not
    // a clip shows nothing and the run goes on.
    clip_->stop();
    animate1_->clear();
    if (clip_->isValid()) {
        animate1_->setMovie(clip_);
        clip_->start();
    }
}

void TFrmwWait::OnWorkerClose() { clip_->stop(); }
