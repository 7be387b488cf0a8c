// sonmira-screenshots OUT_DIR [PROJECT.QWF]: the main window, empty and with
// the project, and each of the program's dialogs, saved as OUT_DIR/NAME.png.
// The windows are the program's own, made as the program makes them, in the
// folder SONMIRA_HOME names.
#include <QApplication>
#include <QDir>
#include <QTimer>
#include <cstdio>
#include <functional>
#include <vector>

#include "chip_table.h"
#include "config.h"
#include "location.h"
#include "main_form.h"

namespace {

bool Save(QWidget* w, const QString& dir, const char* name) {
    QApplication::processEvents();
    const QString file = dir + "/" + name + ".png";
    const bool ok = w->grab().save(file);
    std::printf("%s %s\n", ok ? "saved" : "FAILED", file.toLocal8Bit().constData());
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: sonmira-screenshots OUT_DIR [PROJECT.QWF]\n");
        return 2;
    }
    const QString dir = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(dir);
    MainFormSetup setup;
    setup.configPath = cfg::OpenConfig().Path();
    setup.programDir = loc::ProgramDir();
    setup.chipTablePath = chips::ChipTablePath();
    TMainForm form(setup);
    form.show();
    int failures = 0;
    QTimer::singleShot(300, [&] {
        failures += !Save(&form, dir, "main_window_empty");
        if (argc > 2) {
            form.OpenProjectFile(argv[2]);
            failures += !Save(&form, dir, "main_window");
        }
        // The window is done with: no exit routine, nothing written.
        form.hide();
        app.exit(failures ? 1 : 0);
    });
    return app.exec();
}
