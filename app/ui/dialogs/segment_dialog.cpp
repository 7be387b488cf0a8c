#include "dialogs/segment_dialog.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "dialogs/dialog_controls.h"
#include "dialogs/hex_key_filter.h"
#include "ui_font.h"

namespace {

constexpr int kCaptionX = 14;
constexpr int kValueX = 82;
constexpr int kValueWidth = 222;

QLabel* Caption(const char* text, int y, QWidget* parent) {
    auto* l = new QLabel(QString::fromUtf8(text), parent);
    l->setAccessibleName(QString::fromUtf8(text));
    l->setGeometry(kCaptionX, y, kValueX - kCaptionX, 16);
    return l;
}

// A value label after its caption; long paths are cut at the frame's edge.
QLabel* Value(const char* object, const char* caption, int y, QWidget* parent) {
    QLabel* l = ValueLabel(parent, object, caption);
    l->setGeometry(kValueX, y, kValueWidth, 16);
    return l;
}

}  // namespace

TFrmedit::TFrmedit(QWidget* parent) : QDialog(parent, FixedDialogFlags()) {
    setObjectName("Frmedit");
    setWindowTitle(QString::fromUtf8(list::kCaption));
    setFont(SongFont(12));
    setFixedSize(406, 183);

    auto* bevel = new QFrame(this);
    bevel->setObjectName("Bevel1");
    bevel->setFrameShape(QFrame::Box);
    bevel->setFrameShadow(QFrame::Sunken);
    bevel->setGeometry(8, 8, 304, 167);

    Caption("文件名称：", 16, this);
    fileName_ = Value("FileName", "文件名称：", 16, this);
    Caption("文件路径：", 38, this);
    filePathName_ = Value("FilePathName", "文件路径：", 38, this);
    Caption("修改时间：", 60, this);
    changeDate_ = Value("ChangeDate", "修改时间：", 60, this);
    Caption("播放长度：", 82, this);
    playTime_ = Value("PlayTime", "播放长度：", 82, this);

    pCheck_ = new QCheckBox("是否编程", this);
    pCheck_->setObjectName("PCheck");
    pCheck_->setAccessibleName("是否编程");
    pCheck_->setGeometry(kCaptionX, 106, 120, 18);

    auto* label = new QLabel("编程地址(0X):", this);
    label->setAccessibleName("编程地址(0X):");
    label->setGeometry(kCaptionX, 140, 90, 16);
    eadd_ = new QLineEdit(this);
    eadd_->setObjectName("Eadd");
    eadd_->setAccessibleName("编程地址(0X):");
    eadd_->setGeometry(106, 137, 80, 21);
    eadd_->setMaxLength(list::kAddressMaxChars);
    eadd_->installEventFilter(new HexKeyFilter(&list::AcceptAddressKey, eadd_));

    okBtn_ = OkButton(this, "OKBtn", QRect(322, 12, 75, 25));
    button1_ = CancelButton(this, QRect(322, 44, 75, 25));

    connect(okBtn_, &QPushButton::clicked, this, &TFrmedit::OKBtnClick);
    connect(button1_, &QPushButton::clicked, this, &QDialog::reject);
}

bool TFrmedit::Run(list::SegmentForm& form, OkStep ok) {
    form_ = form;
    ok_ = std::move(ok);
    ShowValue(fileName_, QString::fromStdString(form.name));
    ShowValue(filePathName_, QString::fromStdString(form.path));
    filePathName_->setToolTip(QString::fromStdString(form.path));
    ShowValue(changeDate_, QString::fromStdString(form.timeText));
    ShowValue(playTime_, QString::fromStdString(form.playTime));
    pCheck_->setChecked(form.program);
    eadd_->setText(QString::fromStdString(form.address));
    okBtn_->setFocus();
    const bool accepted = exec() == QDialog::Accepted;
    form.address = eadd_->text().toStdString();
    form.program = pCheck_->isChecked();
    ok_ = nullptr;
    return accepted;
}

void TFrmedit::OKBtnClick() {
    form_.address = eadd_->text().toStdString();
    form_.program = pCheck_->isChecked();
    switch (ok_ ? ok_(form_) : list::OkResult::Accepted) {
        case list::OkResult::Accepted: accept(); break;
        case list::OkResult::KeepOpen: eadd_->setFocus(); break;
        case list::OkResult::Refused: reject(); break;
    }
}
