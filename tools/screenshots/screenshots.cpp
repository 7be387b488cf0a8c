// sonmira-screenshots OUT_DIR [PROJECT.QWF]: the main window, empty and with
// the project, and each of the program's dialogs, saved as OUT_DIR/NAME.png.
// The windows are the program's own, made as the program makes them, in the
// folder SONMIRA_HOME names.
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QTimer>
#include <cstdio>
#include <functional>
#include <vector>

#include "chip_table.h"
#include "config.h"
#include "location.h"
#include "main_form.h"
#include "run_progress_dialog.h"
#include "segment_dialog.h"

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
        // The dialogs as they stand during their commands.
        TFrmedit frmedit(&form);
        frmedit.FileName()->setText("a.wav");
        frmedit.FilePathName()->setText("/home/user/sounds/a.wav");
        frmedit.ChangeDate()->setText("2026-12-08 10:00:00");
        frmedit.PlayTime()->setText("1200 MS");
        frmedit.PCheck()->setChecked(true);
        frmedit.Eadd()->setText("0010");
        frmedit.show();
        failures += !Save(&frmedit, dir, "segment_dialog");
        frmedit.hide();
        TFrmwWait frmwWait(&form);
        frmwWait.PrepareClip(QString::fromStdString(loc::ProgramDir() + "qv.dat"));
        frmwWait.setWindowTitle("正在编程...");
        frmwWait.LabelName()->setText("a.wav");
        frmwWait.ProgressBar1()->setRange(0, 100);
        frmwWait.ProgressBar1()->setValue(40);
        frmwWait.show();
        failures += !Save(&frmwWait, dir, "run_progress_dialog");
        frmwWait.hide();
        // The window is done with: no exit routine, nothing written.
        form.hide();
        app.exit(failures ? 1 : 0);
    });
    return app.exec();
}
