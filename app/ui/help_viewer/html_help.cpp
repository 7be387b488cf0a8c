// The viewer library's one export, shaped like the Windows help viewer's
// entry: HtmlHelpA(owner, file, command, data).
//
// It runs inside the calling program, on its user-interface thread, with the
// program's QApplication; it never makes one. Commands:
//   0 (show a topic): opens the help window, or raises the one already open,
//     on `file`'s topic: the one named in `data` (a char*), or after "::" in
//     `file`, else the file's default topic. Returns the window.
//   0x12 (close all): closes the help window. Returns null.
// Any other command, or a call without a QApplication or from another thread,
// does nothing and returns null. `owner` is not used: the window stands on
// its own, as the Windows viewer's does.
#include <stdint.h>

#include <QApplication>
#include <QFile>
#include <QPointer>
#include <QThread>

#include "help_window.h"

namespace {

constexpr unsigned int kDisplayTopic = 0x0000;
constexpr unsigned int kCloseAll = 0x0012;

QPointer<HelpWindow>& Window() {
    static QPointer<HelpWindow> window;
    return window;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) void* HtmlHelpA(void* /*owner*/, const char* file,
                                                                  unsigned int command, uintptr_t data) {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return nullptr;
    if (QThread::currentThread() != QCoreApplication::instance()->thread()) return nullptr;
    QPointer<HelpWindow>& window = Window();
    if (command == kCloseAll) {
        if (window) window->close();
        return nullptr;
    }
    if (command != kDisplayTopic || !file) return nullptr;

    QString path = QFile::decodeName(file);
    QString topic;
    const qsizetype split = path.indexOf("::");
    if (split >= 0) {
        topic = path.mid(split + 2);
        path.truncate(split);
    }
    if (data) topic = QString::fromUtf8(reinterpret_cast<const char*>(data));

    if (!window) {
        window = new HelpWindow;
        window->setAttribute(Qt::WA_DeleteOnClose);
        // The program ends with its main window, help open or not.
        window->setAttribute(Qt::WA_QuitOnClose, false);
    }
    window->ShowFile(path, topic);
    window->show();
    window->raise();
    window->activateWindow();
    return window.data();
}
