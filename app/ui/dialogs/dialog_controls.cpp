#include "dialogs/dialog_controls.h"

#include <QLabel>
#include <QPushButton>

Qt::WindowFlags FixedDialogFlags() {
    return Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
}

void NameControl(QWidget* control, const char* object, const QString& accessible) {
    control->setObjectName(object);
    control->setAccessibleName(accessible);
}

QPushButton* OkButton(QWidget* parent, const char* object, const QRect& at) {
    auto* b = new QPushButton("确定", parent);
    NameControl(b, object, "确定");
    b->setGeometry(at);
    b->setDefault(true);
    return b;
}

QPushButton* CancelButton(QWidget* parent, const QRect& at) {
    auto* b = new QPushButton("取消", parent);
    NameControl(b, "Button1", "取消");
    b->setGeometry(at);
    b->setAutoDefault(false);
    return b;
}

QLabel* ValueLabel(QWidget* parent, const char* object, const char* caption) {
    auto* l = new QLabel(parent);
    l->setObjectName(object);
    l->setTextFormat(Qt::PlainText);
    l->setAccessibleDescription(QString::fromUtf8(caption));
    return l;
}

void ShowValue(QLabel* label, const QString& text) {
    label->setText(text);
    label->setAccessibleName(text);
}
