// sonmira-screenshots OUT_DIR [PROJECT.QWF]: the main window, empty and with
// the project, and each of the program's windows, saved as OUT_DIR/NAME.png.
// The windows are the program's own, made as the program makes them, in the
// folder SONMIRA_HOME names.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QFileDialog>
#include <QDir>
#include <QEventLoop>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QProgressBar>
#include <QSlider>
#include <QTimer>
#include <QTranslator>
#include <cstdio>
#include <fstream>
#include <functional>

#include "files/chip_table.h"
#include "files/config.h"
#include "commands/help_command.h"
#include "commands/list_commands.h"
#include "files/location.h"
#include "startup/program_windows.h"
#include "dialogs/qt_prompt.h"
#include "runs/run_problems.h"
#include "audio/volume.h"

namespace {

QString g_dir;
int g_failures = 0;

void Save(QWidget* w, const char* name) {
    if (!w) {
        std::printf("FAILED %s: no such window\n", name);
        ++g_failures;
        return;
    }
    QApplication::processEvents();
    const QString file = g_dir + "/" + name + ".png";
    const bool ok = w->grab().save(file);
    std::printf("%s %s\n", ok ? "saved" : "FAILED", file.toLocal8Bit().constData());
    g_failures += !ok;
}

// A dialog shown without its modal loop, grabbed, hidden again.
void SaveDialog(QWidget* dialog, const char* name) {
    dialog->show();
    Save(dialog, name);
    dialog->hide();
}

// The message box that `show` brings up, grabbed and closed unanswered.
void SaveMessage(const char* name, const std::function<void()>& show) {
    QTimer::singleShot(0, [name] {
        auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        Save(box, name);
        if (box) box->done(0);
    });
    show();
}

void WriteFile(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

// The pictures need no sound: the machine's volume is left alone.
class NoMixer : public audio::IMixer {
public:
    bool GetVolumeWord(uint32_t*) override { return false; }
    bool SetVolumeWord(uint32_t) override { return false; }
};

QWidget* TopLevel(const char* objectName) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == objectName && w->isVisible()) return w;
    return nullptr;
}

}  // namespace

// The messages that tell what went wrong, each raised by its own command
// where one can raise it here.
void SaveMessages(TMainForm& form, QtPrompt& prompt) {
    const std::string dir = files::ProgramDir();
    const std::string header = "V1.0,20261208,wendaloprist,SM-1 \xb1\xe0\xb3\xcc\xc6\xf7,SV020A,\r\n";
    auto row = [](int start, const char* name) {
        char line[200];
        std::snprintf(line, sizeof line, "1,\xca\xc7,0X%04X,0X%04X,%s,1000,1KB,.wav,t,/x/%s,/x/%s,\r\n", start,
                      start + 7, name, name, name);
        return std::string(line);
    };
    WriteFile(dir + "noise.QWF", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
    SaveMessage("message_project_not_opened", [&] { form.OpenProjectFile(dir + "noise.QWF"); });
    const std::string whole = header + row(0, "a.wav") + row(8, "b.wav");
    WriteFile(dir + "cut.QWF", whole.substr(0, whole.size() - 30));
    SaveMessage("message_project_incomplete", [&] { form.OpenProjectFile(dir + "cut.QWF"); });
    WriteFile(dir + "overlap.QWF", header + row(0, "a.wav") + row(7, "b.wav") + row(16, "c.wav"));
    form.OpenProjectFile(dir + "overlap.QWF");
    SaveMessage("message_overlap", [&] { form.findChild<QAction*>("ToolButton8")->trigger(); });
    WriteFile(dir + "empty.wav", "");
    SaveMessage("message_unmeasurable",
                [&] { commands::AddFile(form.Workspace(), prompt, dir + "empty.wav", nullptr); });
    runs::RecSummary run;
    run.unrecorded = {{2, "b.wav", -7}};
    run.missing = {{3, "c.wav", 0}};
    SaveMessage("message_rows_not_recorded", [&] { runs::ShowRunProblems(prompt, run); });
    form.Workspace().modified = true;
    SaveMessage("message_save_on_exit", [&] { form.close(); });
}

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // Qt's own buttons in the program's language, as the program shows them.
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(QLocale::Chinese, QLocale::China), "qtbase", "_",
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&qtTexts);
    if (argc < 2) {
        std::fprintf(stderr, "usage: sonmira-screenshots OUT_DIR [PROJECT.QWF]\n");
        return 2;
    }
    g_dir = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(g_dir);
    {
        TfrmSplash splash;
        splash.ShowNow();
        Save(&splash, "splash");
    }
    MainFormSetup setup;
    setup.configPath = files::OpenConfig().Path();
    setup.programDir = files::ProgramDir();
    setup.chipTablePath = files::ChipTablePath();
    NoMixer mixer;
    setup.mixer = &mixer;
    ProgramWindows windows(setup);
    TMainForm& form = windows.Main();
    form.show();
    QTimer::singleShot(300, [&] {
        Save(&form, "main_window_empty");
        if (argc > 2) {
            form.OpenProjectFile(argv[2]);
            Save(&form, "main_window");
        }
        SaveDialog(&windows.About(), "about_box");
        SaveDialog(&windows.Settings(), "settings_dialog");
        // Its browse dialog on the program's folder: folders and the programs in it.
        windows.Settings().OpenDialog1()->setDirectory(QString::fromStdString(files::ProgramDir()));
        windows.Settings().OpenDialog1()->show();
        QEventLoop listing;  // the folder is listed in the background
        QTimer::singleShot(1000, &listing, &QEventLoop::quit);
        listing.exec();
        SaveDialog(windows.Settings().OpenDialog1(), "settings_browse_dialog");
        // The dialogs as they stand during their commands.
        TFrmedit& frmedit = windows.Frmedit();
        frmedit.FileName()->setText("a.wav");
        frmedit.FilePathName()->setText("/home/user/sounds/a.wav");
        frmedit.ChangeDate()->setText("2026-12-08 10:00:00");
        frmedit.PlayTime()->setText("1200 MS");
        frmedit.PCheck()->setChecked(true);
        frmedit.Eadd()->setText("0010");
        SaveDialog(&frmedit, "segment_dialog");
        TFrmwWait& frmwWait = windows.FrmwWait();
        frmwWait.PrepareClip(QString::fromStdString(files::ProgramDir() + "qv.dat"));
        frmwWait.setWindowTitle("正在编程...");
        frmwWait.LabelName()->setText("a.wav");
        frmwWait.ProgressBar1()->setRange(0, 100);
        frmwWait.ProgressBar1()->setValue(40);
        SaveDialog(&frmwWait, "program_dialog");
        TFrmwPalyCount& play = windows.FrmwPalyCount();
        play.LabelName()->setText("a.wav");
        play.ProgressBar1()->setRange(0, 5);
        play.ProgressBar1()->setValue(2);
        SaveDialog(&play, "play_dialog");
        TFrmVal& volume = windows.FrmVal();
        volume.TrackBar1()->setValue(8);
        SaveDialog(&volume, "volume_dialog");
        QtPrompt prompt(&form);
        commands::OpenHelpFile(prompt, files::ProgramDir());
        QApplication::processEvents();
        Save(TopLevel("helpWindow"), "help_window");
        if (QWidget* help = TopLevel("helpWindow")) help->hide();
        SaveMessages(form, prompt);
        // The windows are done with: no exit routine, nothing written.
        for (QWidget* w : QApplication::topLevelWidgets()) w->hide();
        app.exit(g_failures ? 1 : 0);
    });
    return app.exec();
}
