#include "dialogs/settings_dialog.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

#include "art/art.h"
#include "dialogs/dialog_controls.h"
#include "dialogs/executable_filter.h"
#include "ui_font.h"

TfrmPath::TfrmPath(QWidget* parent) : QDialog(parent, FixedDialogFlags()) {
    setObjectName("frmPath");
    setWindowTitle("设置编辑文件路径");
    setFont(SongFont(12));
    setFixedSize(321, 127);

    editCheck_ = new QCheckBox("是否允许编辑文件", this);
    NameControl(editCheck_, "EditCheck", "是否允许编辑文件");
    editCheck_->setGeometry(8, 6, 200, 20);

    groupBox_ = new QGroupBox("编辑程序路径", this);
    NameControl(groupBox_, "GroupBox1", "编辑程序路径");
    groupBox_->setGeometry(8, 28, 305, 56);

    // Filled only by the browse button: no typing, pasting or dropping.
    ePath_ = new QLineEdit(groupBox_);
    NameControl(ePath_, "EPath", "编辑程序路径");
    ePath_->setGeometry(8, 24, 265, 21);
    ePath_->setReadOnly(true);
    ePath_->setAcceptDrops(false);

    bPath_ = new QPushButton(groupBox_);
    NameControl(bPath_, "BPath", "请选择声音编辑文件");
    bPath_->setGeometry(275, 24, 22, 21);
    bPath_->setIcon(PointingHandIcon());
    bPath_->setIconSize(QSize(16, 16));
    bPath_->setAutoDefault(false);

    okBtn_ = OkButton(this, "OKBtn", QRect(154, 94, 75, 25));
    button1_ = CancelButton(this, QRect(238, 94, 75, 25));

    picker_ = [](QFileDialog& d) {
        if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return QString();
        return d.selectedFiles().first();
    };

    connect(editCheck_, &QCheckBox::toggled, this, &TfrmPath::EditCheckClick);
    connect(bPath_, &QPushButton::clicked, this, &TfrmPath::BPathClick);
    connect(okBtn_, &QPushButton::clicked, this, &QDialog::accept);
    connect(button1_, &QPushButton::clicked, this, &QDialog::reject);
}

QFileDialog* TfrmPath::OpenDialog1() {
    if (openDialog_) return openDialog_;
    // Linux editors are executables, mostly without an extension: the
    // dialog lists folders and executable files; ".exe" ones are offered as
    // a second filter. A permission flag in the file model's filter would hide
    // whatever is readable or writable, so the proxy picks the files instead.
    openDialog_ = new QFileDialog(this, "请选择声音编辑文件");
    NameControl(openDialog_, "OpenDialog1", "请选择声音编辑文件");
    openDialog_->setFileMode(QFileDialog::ExistingFile);
    openDialog_->setAcceptMode(QFileDialog::AcceptOpen);
    openDialog_->setOption(QFileDialog::DontUseNativeDialog);
    openDialog_->setNameFilters({"Executable File (*)", "Executable File (*.exe)"});
    openDialog_->setProxyModel(new ExecutableFilter(openDialog_));
    openDialog_->setFilter(QDir::AllDirs | QDir::Files | QDir::NoDotAndDotDot);
    return openDialog_;
}

void TfrmPath::Prepare(const commands::EditorSettings& s) {
    editCheck_->setChecked(s.enabled);
    EditCheckClick(s.enabled);
    ePath_->setText(QString::fromStdString(s.path));
}

commands::EditorSettings TfrmPath::Current() const { return {editCheck_->isChecked(), ePath_->text().toStdString()}; }

void TfrmPath::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TfrmPath::EditCheckClick(bool ticked) {
    ePath_->setEnabled(ticked);
    bPath_->setEnabled(ticked);
}

void TfrmPath::BPathClick() {
    const QString picked = picker_(*OpenDialog1());
    if (!picked.isEmpty() && commands::AcceptEditorPick(picked.toStdString())) ePath_->setText(picked);
}

void RunSettingsCommand(TfrmPath& dialog, commands::Workspace& w) {
    dialog.Prepare(commands::SettingsDialogStart(w));
    if (dialog.exec() == QDialog::Accepted) commands::ApplySettingsOk(w, dialog.Current());
}
