#include "dialogs/play_count_dialog.h"

#include <QPointer>
#include <QThread>

#include "dialogs/qt_prompt.h"

namespace {

// The worker's one message (a failure, answered with OK only): shown on the
// window's thread, while the worker goes on to its end. Waiting for the box
// would hold the worker past the close step's wait.
class QueuedPrompt : public messages::IUserPrompt {
public:
    QueuedPrompt(messages::IUserPrompt& target, QObject* context) : target_(target), context_(context) {}
    messages::MsgAnswer Ask(const std::string& text, const std::string& caption, messages::MsgIcon icon,
                            messages::MsgButtons buttons) override {
        if (!context_ || QThread::currentThread() == context_->thread())
            return target_.Ask(text, caption, icon, buttons);
        messages::IUserPrompt* target = &target_;
        QMetaObject::invokeMethod(
            context_.data(), [target, text, caption, icon, buttons] { target->Ask(text, caption, icon, buttons); },
            Qt::QueuedConnection);
        return messages::MsgAnswer::Ok;
    }

private:
    messages::IUserPrompt& target_;
    QPointer<QObject> context_;
};

}  // namespace

TFrmwPalyCount::TFrmwPalyCount(QWidget* parent, messages::IUserPrompt* prompt)
    : RunWindow(parent, Controls{QRect(11, 8, 273, 16), QRect(11, 30, 273, 13), QRect(110, 54, 75, 25), "播放文件",
                                 "播放进度"}) {
    setObjectName("FrmwPalyCount");
    setWindowTitle(QString::fromUtf8(runs::kPlayCaption));
    setFixedSize(295, 89);
    if (!prompt) {
        ownPrompt_ = std::make_unique<QtPrompt>(nullptr);
        prompt = ownPrompt_.get();
    }
    workerPrompt_ = std::make_unique<QueuedPrompt>(*prompt, this);
    SetUpRun(*prompt, std::nullopt);
}

// The worker may still use the prompts: the run ends before they go.
TFrmwPalyCount::~TFrmwPalyCount() { EndRun(); }

void TFrmwPalyCount::ShowModal(runs::PlayJob job) {
    auto shared = std::make_shared<runs::PlayJob>(std::move(job));
    ShowModalStarting(
        [this, shared] { return runs::StartPlayThread(Run(), std::move(*shared), View(), *workerPrompt_); });
}
