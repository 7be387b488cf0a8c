// What the program's fixed-size dialogs share: their frame, and controls that
// carry an object name (the form's code and tests find them by it) and an
// accessible name (screen readers read it).
#pragma once

#include <QRect>
#include <QString>
#include <Qt>

class QLabel;
class QPushButton;
class QWidget;

// A title bar with a close box and nothing else: no help or maximise box.
Qt::WindowFlags FixedDialogFlags();

void NameControl(QWidget* control, const char* object, const QString& accessible);

// The dialog's "确定": the default button, pressed by Enter.
QPushButton* OkButton(QWidget* parent, const char* object, const QRect& at);

// The dialog's "取消" ("Button1"): not an auto-default button, so Enter
// presses "确定" even while this one has the focus.
QPushButton* CancelButton(QWidget* parent, const QRect& at);

// A label that shows a value (a file name, a path): plain text, so a name
// that looks like markup shows as it is; `caption` is what a screen reader
// says it is.
QLabel* ValueLabel(QWidget* parent, const char* object, const char* caption);

// Shows `text` and names the label by it, as a screen reader must read it
// (Qt's own fallback to the text would drop an '&' from "Tom & Jerry.wav").
void ShowValue(QLabel* label, const QString& text);
