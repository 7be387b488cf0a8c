// sonmira [PROJECT.QWF]: the desktop program.
#include <QApplication>

#include "main_form.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    TMainForm form;
    form.show();
    return app.exec();
}
