#include "main_form.h"

#include "ui_font.h"

TMainForm::TMainForm(QWidget* parent) : QMainWindow(parent) {
    setObjectName("MainForm");
    setWindowTitle("语音编程器");
    setFont(SongFont(12));
    resize(800, 581);
}
