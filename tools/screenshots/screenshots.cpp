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
#include "dialogs/verify_results_window.h"
#include "dialogs/verify_settings_dialog.h"
#include "runs/run_problems.h"
#include "audio/volume.h"
#include "verify/chip_verify.h"

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

// The modal dialog that `show` brings up (a message box, a settings dialog),
// grabbed and closed unanswered.
void SaveModal(const char* name, const std::function<void()>& show) {
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

// A segment as the verification would report it after listening, at the
// demo project's addresses; the verdict follows the core's rules for the
// default threshold and SV020A's 125 ms step, as a real run would judge it.
verify::SegmentOutcome Heard(int row, const char* name, int32_t start, int32_t end, double similarity, int delayMs,
                             double levelDb, int headMs, int tailMs) {
    verify::SegmentOutcome o;
    o.segment.row = row;
    o.segment.name = name;
    o.segment.start = start;
    o.segment.end = end;
    o.heard = true;
    verify::SegmentReport& r = o.report;
    r.similarity = similarity;
    r.delayMs = delayMs;
    r.levelDb = levelDb;
    r.headMissingMs = headMs;
    r.tailMissingMs = tailMs;
    r.ok = similarity >= 0.80 && headMs <= 125 && tailMs <= 125;
    return o;
}

// Nothing came back from the chip: every figure of a silent capture is 0.
verify::SegmentOutcome Silent(int row, const char* name, int32_t start, int32_t end) {
    verify::SegmentOutcome o = Heard(row, name, start, end, 0, 0, 0, 0, 0);
    o.report.silent = true;
    o.report.ok = false;
    o.report.reason = "silent";
    return o;
}

}  // namespace

// The verification's windows, with made-up outcomes: there is no module to
// listen to here.
void SaveVerifyWindows(QWidget* parent) {
    using audio::SoundOutputKind;
    TVerifySettingsDialog settings(
        {{SoundOutputKind::kAlsa, "hw:CARD=PCH,DEV=0", "HDA Intel PCH, ALC892 Analog"},
         {SoundOutputKind::kAlsa, "hw:CARD=Device,DEV=0", "USB Audio Device"},
         {SoundOutputKind::kSoundServer, "alsa_input.pci-0000_00_1f.3.analog-stereo", "Built-in Audio Analog Stereo"},
         {SoundOutputKind::kSoundServer, "line_wire.monitor", "Monitor of Null Output"}},
        parent);
    VerifyChoice choice{"hw:CARD=Device,DEV=0", 0.80, true};
    SaveModal("verify_settings", [&] { settings.Run(&choice); });

    TVerifyResultsWindow results(parent);
    results.Show({Heard(1, "welcome.wav", 0x00, 0x04, 0.97, 63, -2.1, 0, 0),
                  Heard(2, "beep.wav", 0x05, 0x07, 0.95, 61, -3.4, 10, 20),
                  Heard(3, "chime.wav", 0x08, 0x0E, 0.98, 62, -1.8, 0, 10)},
                 0.80, 125);
    Save(&results, "verify_results_clean");
    // Two rows the chip kept nothing of, and one whose start was not recorded.
    results.Show({Heard(1, "welcome.wav", 0x00, 0x04, 0.97, 63, -2.1, 0, 0), Silent(2, "beep.wav", 0x05, 0x07),
                  Silent(3, "chime.wav", 0x08, 0x0E), Heard(4, "door.mp3", 0x0F, 0x1C, 0.31, -312, -4.7, 375, 0),
                  Heard(5, "alarm.wav", 0x1D, 0x24, 0.96, 64, -2.6, 0, 0)},
                 0.80, 125);
    Save(&results, "verify_results_failed");
    results.hide();
}

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
    SaveModal("message_project_not_opened", [&] { form.OpenProjectFile(dir + "noise.QWF"); });
    const std::string whole = header + row(0, "a.wav") + row(8, "b.wav");
    WriteFile(dir + "cut.QWF", whole.substr(0, whole.size() - 30));
    SaveModal("message_project_incomplete", [&] { form.OpenProjectFile(dir + "cut.QWF"); });
    WriteFile(dir + "overlap.QWF", header + row(0, "a.wav") + row(7, "b.wav") + row(16, "c.wav"));
    form.OpenProjectFile(dir + "overlap.QWF");
    SaveModal("message_overlap", [&] { form.findChild<QAction*>("ToolButton8")->trigger(); });
    WriteFile(dir + "empty.wav", "");
    SaveModal("message_unmeasurable", [&] { commands::AddFile(form.Workspace(), prompt, dir + "empty.wav", nullptr); });
    runs::RecSummary run;
    run.unrecorded = {{2, "b.wav", -7}};
    run.missing = {{3, "c.wav", 0}};
    SaveModal("message_rows_not_recorded", [&] { runs::ShowRunProblems(prompt, run); });
    form.Workspace().modified = true;
    SaveModal("message_save_on_exit", [&] { form.close(); });
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
        SaveVerifyWindows(&form);
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
