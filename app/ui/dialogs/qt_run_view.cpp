#include "dialogs/qt_run_view.h"

#include <QThread>
#include <algorithm>

QtRunView::QtRunView(Targets targets, QObject* parent) : QObject(parent), targets_(std::move(targets)) {}

QtRunView::~QtRunView() { Release(); }

void QtRunView::Carry(std::function<void()> apply) {
    if (QThread::currentThread() == thread()) {
        apply();
        return;
    }
    auto update = std::make_shared<Update>();
    update->apply = std::move(apply);
    std::unique_lock<std::mutex> lock(mutex_);
    if (!armed_) return;
    waiting_.push_back(update);
    QMetaObject::invokeMethod(
        this,
        [this, update] {
            {
                std::lock_guard<std::mutex> l(mutex_);
                auto it = std::find(waiting_.begin(), waiting_.end(), update);
                if (it == waiting_.end()) return;  // dropped by Release
                waiting_.erase(it);
            }
            // Release runs on this same thread, so it cannot drop the update
            // while it is being carried out.
            update->apply();
            std::lock_guard<std::mutex> l(mutex_);
            update->finished = true;
            finished_.notify_all();
        },
        Qt::QueuedConnection);
    finished_.wait(lock, [&] { return update->finished; });
}

void QtRunView::SetCaption(const std::string& text) {
    const QString t = QString::fromStdString(text);
    Carry([this, t] { targets_.caption(t); });
}

void QtRunView::SetStatus(const std::string& text, int32_t position) {
    const QString t = QString::fromStdString(text);
    Carry([this, t, position] { targets_.status(t, position); });
}

void QtRunView::SetRange(int32_t max) {
    Carry([this, max] { targets_.range(max); });
}

void QtRunView::CloseDialog() {
    if (QThread::currentThread() == thread()) {
        targets_.close();
        return;
    }
    QMetaObject::invokeMethod(
        this, [this] { targets_.close(); }, Qt::QueuedConnection);
}

void QtRunView::Arm() {
    std::lock_guard<std::mutex> lock(mutex_);
    armed_ = true;
}

void QtRunView::Release() {
    std::lock_guard<std::mutex> lock(mutex_);
    armed_ = false;
    for (auto& u : waiting_) u->finished = true;  // dropped: its worker goes on
    waiting_.clear();
    finished_.notify_all();
}

int QtRunView::Waiting() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return static_cast<int>(waiting_.size());
}
