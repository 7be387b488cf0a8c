// The yardstick of the start-up benchmark: a bare Qt main window that stamps
// its first paint the same way the program does.
#include <QApplication>
#include <QMainWindow>

#include "startup/first_paint.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle("bare");
    window.resize(800, 581);
    StampFirstPaintOnRequest(&window);
    window.show();
    return app.exec();
}
