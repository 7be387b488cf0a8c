#include "dialogs/qt_prompt.h"

#include <QApplication>
#include <QMessageBox>

namespace {

QMessageBox::Icon BoxIcon(messages::MsgIcon icon) {
    switch (icon) {
        case messages::MsgIcon::Information: return QMessageBox::Information;
        case messages::MsgIcon::Question: return QMessageBox::Question;
        case messages::MsgIcon::Warning: return QMessageBox::Warning;
        case messages::MsgIcon::Error: return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

messages::MsgAnswer QtPrompt::Ask(const std::string& text, const std::string& caption, messages::MsgIcon icon,
                                  messages::MsgButtons buttons) {
    QWidget* owner = QApplication::activeModalWidget();
    if (!owner) owner = owner_;
    QMessageBox box(BoxIcon(icon), QString::fromStdString(caption), QString::fromStdString(text), QMessageBox::NoButton,
                    owner);
    box.setObjectName("MessageBox");
    switch (buttons) {
        case messages::MsgButtons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
        case messages::MsgButtons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
        case messages::MsgButtons::YesNoCancel:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            break;
    }
    switch (box.exec()) {
        case QMessageBox::Yes: return messages::MsgAnswer::Yes;
        case QMessageBox::No: return messages::MsgAnswer::No;
        case QMessageBox::Cancel: return messages::MsgAnswer::Cancel;
        default: return buttons == messages::MsgButtons::Ok ? messages::MsgAnswer::Ok : messages::MsgAnswer::Cancel;
    }
}
