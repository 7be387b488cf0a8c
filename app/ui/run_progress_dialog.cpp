#include "run_progress_dialog.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMovie>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include "qt_prompt.h"
#include "ui_font.h"

TFrmwWait::TFrmwWait(QWidget* parent, IUserPrompt* prompt)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
    setObjectName("FrmwWait");
    setWindowTitle("正在编程......");
    setFont(SongFont(12));
    setFixedSize(388, 129);
    if (!prompt) {
        ownPrompt_ = std::make_unique<QtPrompt>(this);
        prompt = ownPrompt_.get();
    }
    run_ = std::make_unique<RunDialog>(*prompt, MsgId::RecOverflow);

    animate1_ = new QLabel(this);
    animate1_->setObjectName("Animate1");
    animate1_->setAccessibleName("正在编程");
    animate1_->setGeometry(64, 8, 260, 40);
    clip_ = new QMovie(this);
    clip_->setFormat("gif");
    animate1_->setMovie(clip_);

    labelName_ = new QLabel(this);
    labelName_->setObjectName("LabelName");
    labelName_->setAccessibleName("编程文件");
    labelName_->setGeometry(16, 60, 356, 16);

    progressBar1_ = new QProgressBar(this);
    progressBar1_->setObjectName("ProgressBar1");
    progressBar1_->setAccessibleName("编程进度");
    progressBar1_->setGeometry(16, 94, 273, 16);
    progressBar1_->setRange(0, 30);
    progressBar1_->setValue(0);
    progressBar1_->setTextVisible(false);

    button1_ = new QPushButton("取消", this);
    button1_->setObjectName("Button1");
    button1_->setAccessibleName("取消");
    button1_->setGeometry(300, 89, 75, 25);
    connect(button1_, &QPushButton::clicked, this, &TFrmwWait::CloseStep);

    QtRunView::Targets t;
    t.caption = [this](const QString& text) { setWindowTitle(text); };
    t.status = [this](const QString& text, int32_t position) {
        labelName_->setText(text);
        progressBar1_->setValue(position);
    };
    t.range = [this](int32_t max) { progressBar1_->setRange(0, max); };
    t.close = [this] {
        clip_->stop();
        CloseStep();
    };
    view_ = new QtRunView(std::move(t), this);
}

// A worker still running uses the view: release it before the wait.
TFrmwWait::~TFrmwWait() {
    view_->Release();
    run_.reset();
}

void TFrmwWait::PrepareClip(const QString& path) {
    clip_->stop();
    clip_->setFileName(path);
}

void TFrmwWait::ShowModal(std::function<bool()> start) {
    start_ = std::move(start);
    exec();
}

void TFrmwWait::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // The clip starts from its first frame on every show; a file that is not
    // a clip shows nothing and the run goes on.
    clip_->stop();
    animate1_->clear();
    if (clip_->isValid()) {
        animate1_->setMovie(clip_);
        clip_->start();
    }
    if (!start_) return;
    view_->Arm();
    const std::function<bool()> start = std::move(start_);
    start_ = nullptr;
    if (!start()) QTimer::singleShot(0, this, &TFrmwWait::CloseStep);
}

void TFrmwWait::CloseStep() {
    view_->Release();
    if (isVisible() && !hiding_) {
        hiding_ = true;
        done(QDialog::Rejected);
        hiding_ = false;
    }
    run_->Close();
}

void TFrmwWait::reject() { CloseStep(); }

void TFrmwWait::closeEvent(QCloseEvent* event) {
    event->accept();
    CloseStep();
}
