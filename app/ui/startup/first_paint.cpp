#include "startup/first_paint.h"

#include <time.h>

#include <QApplication>
#include <QEvent>
#include <QPixmap>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>

namespace {

long long MonotonicNowNs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec;
}

class FirstPaint : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !done_) {
            done_ = true;
            // Stamped once the paint has been handled, then the program ends.
            auto* window = static_cast<QWidget*>(watched);
            QTimer::singleShot(0, [window] {
                const long long now = MonotonicNowNs();
                if (std::getenv("SONMIRA_FIRST_PAINT")) {
                    std::printf("first_paint_ns %lld\n", now);
                    std::fflush(stdout);
                }
                if (const char* file = std::getenv("SONMIRA_SCREENSHOT")) {
                    if (!window->grab().save(QString::fromLocal8Bit(file)))
                        std::fprintf(stderr, "sonmira: the screenshot could not be saved to %s\n", file);
                }
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
    if (!std::getenv("SONMIRA_FIRST_PAINT") && !std::getenv("SONMIRA_SCREENSHOT")) return;
    window->installEventFilter(new FirstPaint(window));
}

void StampSplashPaintOnRequest() {
    if (!std::getenv("SONMIRA_FIRST_PAINT")) return;
    std::printf("splash_paint_ns %lld\n", MonotonicNowNs());
    std::fflush(stdout);
}
