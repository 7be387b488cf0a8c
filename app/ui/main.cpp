// sonmira [PROJECT.QWF]: the desktop program.
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "about_box.h"
#include "chip_table.h"
#include "config.h"
#include "first_paint.h"
#include "location.h"
#include "main_form.h"
#include "run_progress_dialog.h"
#include "segment_dialog.h"
#include "settings_dialog.h"
#include "sonmira_application.h"
#include "splash.h"

int main(int argc, char** argv) {
    SonmiraApplication app(argc, argv);
    // Qt's own texts (standard buttons, file dialogs) in the program's language.
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(QLocale::Chinese, QLocale::China), "qtbase", "_",
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&qtTexts);

    // The splash is on the screen before the slow steps: reading the
    // configuration, binding the driver, loading the chip.
    auto splash = std::make_unique<TfrmSplash>();
    splash->ShowNow();

    // The windows, each made once, in their order.
    MainFormSetup setup;
    setup.configPath = cfg::OpenConfig().Path();
    setup.programDir = loc::ProgramDir();
    setup.chipTablePath = chips::ChipTablePath();
    TMainForm form(setup);
    TAboutBox1 about(&form);
    TFrmedit frmedit(&form);
    TfrmPath settings(&form);
    TFrmwWait frmwWait(&form);
    form.AttachDialogs(&about, &settings);
    RunDialogs runDialogs;
    runDialogs.frmedit = &frmedit;
    runDialogs.frmwWait = &frmwWait;
    form.AttachRunDialogs(runDialogs);
    splash.reset();

    const QStringList args = app.arguments();
    if (args.size() > 1) form.OpenProjectFile(args[1].toStdString());
    StampFirstPaintOnRequest(&form);
    form.show();
    return app.exec();
}
