#include "first_paint.h"

#include <time.h>

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>

namespace {

class FirstPaint : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !done_) {
            done_ = true;
            // Stamped once the paint has been handled, then the program ends.
            QTimer::singleShot(0, [] {
                timespec t{};
                clock_gettime(CLOCK_MONOTONIC, &t);
                std::printf("first_paint_ns %lld\n", static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec);
                std::fflush(stdout);
                QApplication::exit(0);
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool done_ = false;
};

}  // namespace

void StampFirstPaintOnRequest(QWidget* window) {
    if (!std::getenv("SONMIRA_FIRST_PAINT")) return;
    window->installEventFilter(new FirstPaint(window));
}
