#include "dialogs/verify_progress_dialog.h"

#include <mutex>

#include "dialogs/qt_prompt.h"

TVerifyProgress::TVerifyProgress(QWidget* parent, messages::IUserPrompt* prompt)
    : RunWindow(parent, Controls{QRect(11, 8, 273, 16), QRect(11, 30, 273, 13), QRect(110, 54, 75, 25), "校验文件",
                                 "校验进度"}) {
    setObjectName("VerifyProgress");
    setWindowTitle(QString::fromUtf8(verify::kVerifyCaption));
    setFixedSize(295, 89);
    if (!prompt) {
        ownPrompt_ = std::make_unique<QtPrompt>(nullptr);
        prompt = ownPrompt_.get();
    }
    SetUpRun(*prompt, std::nullopt);
}

TVerifyProgress::~TVerifyProgress() { EndRun(); }

void TVerifyProgress::ShowModal(verify::VerifyRun run, verify::VerifyEnd* end,
                                std::vector<verify::SegmentOutcome>* outcomes) {
    // The worker hands over its outcomes before it asks for the close, so
    // they are in when the dialog returns (the close step waits for it).
    struct Handover {
        std::mutex mutex;
        verify::VerifyEnd end = verify::VerifyEnd::Cancelled;
        std::vector<verify::SegmentOutcome> outcomes;
    };
    auto handover = std::make_shared<Handover>();
    auto shared = std::make_shared<verify::VerifyRun>(std::move(run));
    ShowModalStarting([this, shared, handover] {
        return verify::StartVerifyThread(Run(), std::move(*shared), View(),
                                         [handover](verify::VerifyEnd e, std::vector<verify::SegmentOutcome> o) {
                                             std::lock_guard<std::mutex> lock(handover->mutex);
                                             handover->end = e;
                                             handover->outcomes = std::move(o);
                                         });
    });
    Run().WaitForWorker(5000);
    std::lock_guard<std::mutex> lock(handover->mutex);
    *end = handover->end;
    *outcomes = std::move(handover->outcomes);
}
