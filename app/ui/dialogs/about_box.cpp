#include "dialogs/about_box.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

#include "art/art.h"
#include "dialogs/dialog_controls.h"
#include "ui_font.h"

namespace {

QLabel* Label(QWidget* parent, const char* name, const QString& text, const QRect& at) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setAccessibleName(text);
    l->setGeometry(at);
    return l;
}

}  // namespace

TAboutBox1::TAboutBox1(QWidget* parent) : QDialog(parent, FixedDialogFlags()) {
    setObjectName("AboutBox1");
    setWindowTitle("关于语音编程器");
    setFont(SongFont(12));
    setFixedSize(287, 195);
    setModal(false);

    panel_ = new QFrame(this);
    panel_->setObjectName("Panel1");
    panel_->setAccessibleName("关于语音编程器");
    panel_->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel_->setLineWidth(2);
    panel_->setGeometry(8, 8, 271, 145);

    QLabel* picture = Label(panel_, "ProgramIcon", "岚舟语音编程器", QRect(8, 8, 89, 33));
    picture->setText(QString());
    picture->setPixmap(AboutPicture());

    QLabel* product = Label(panel_, "ProductName", "岚舟语音编程器", QRect(104, 12, 160, 22));
    QFont bold = SongFont(16);
    bold.setBold(true);
    product->setFont(bold);

    Label(panel_, "Version", "Version 3.5", QRect(104, 52, 160, 16));
    Label(panel_, "Copyright", "发布日期：2009年2月27日         ", QRect(8, 88, 255, 16));

    okButton_ = OkButton(this, "OKButton", QRect(106, 162, 75, 25));
    connect(okButton_, &QPushButton::clicked, this, &QWidget::hide);
}

void ShowAboutBox(TAboutBox1& box) {
    box.show();
    box.raise();
    box.activateWindow();
}
