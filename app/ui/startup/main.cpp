// sonmira [PROJECT.QWF]: the desktop program.
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "art/art.h"
#include "files/chip_table.h"
#include "files/config.h"
#include "files/location.h"
#include "startup/command_line.h"
#include "startup/first_paint.h"
#include "startup/program_windows.h"
#include "startup/sonmira_application.h"

int main(int argc, char** argv) {
    if (const int rc = startup::AnswerInfoOptions(argc, argv, stdout); rc >= 0) return rc;
    SonmiraApplication app(argc, argv);
    // The desktop matches the windows to the menu entry and shows its icon.
    app.setDesktopFileName("org.sonmira.Sonmira");
    app.setWindowIcon(ProgramIcon());
    // Qt's own texts (standard buttons, file dialogs) in the program's language.
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(QLocale::Chinese, QLocale::China), "qtbase", "_",
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&qtTexts);

    MainFormSetup setup;
    setup.configPath = files::OpenConfig().Path();
    setup.programDir = files::ProgramDir();
    setup.chipTablePath = files::ChipTablePath();
    ProgramWindows windows(setup);
    TMainForm& form = windows.Main();

    const QStringList args = app.arguments();
    if (args.size() > 1) form.OpenProjectFile(args[1].toStdString());
    StampFirstPaintOnRequest(&form);
    form.show();
    return app.exec();
}
