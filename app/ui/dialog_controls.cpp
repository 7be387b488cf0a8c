#include "dialog_controls.h"

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
