#include "dialogs/verify_settings_dialog.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialogs/dialog_controls.h"
#include "ui_font.h"

namespace {

// "line_wire.monitor  Monitor of Null Output": the name is what is kept,
// the description what a person recognises.
QString InputText(const std::string& name, const std::string& description) {
    QString text = QString::fromStdString(name);
    if (!description.empty()) text += "  " + QString::fromStdString(description);
    return text;
}

QListWidgetItem* InputItem(const std::string& name, const std::string& description, QListWidget* list) {
    auto* item = new QListWidgetItem(InputText(name, description), list);
    item->setData(Qt::UserRole, QString::fromStdString(name));
    item->setToolTip(item->text());
    // The Song face's underscore lies below its descent: a row of the font's
    // height would cut it off and "line_wire" would read "line wire".
    const QFontMetrics metrics(list->font());
    item->setSizeHint(QSize(metrics.horizontalAdvance(item->text()) + 8, metrics.height() + 4));
    return item;
}

}  // namespace

TVerifySettingsDialog::TVerifySettingsDialog(std::vector<audio::SoundInputInfo> inputs, QWidget* parent)
    : QDialog(parent, FixedDialogFlags()), inputs_(std::move(inputs)) {
    setObjectName("VerifySettingsDialog");
    setWindowTitle("校验设置");
    setFont(SongFont(12));

    auto* inputLabel = new QLabel("声音输入:", this);
    inputLabel->setAccessibleName("声音输入:");
    inputList_ = new QListWidget(this);
    NameControl(inputList_, "InputList", "声音输入:");
    inputList_->setSelectionMode(QAbstractItemView::SingleSelection);
    inputList_->setMinimumSize(440, 160);
    inputLabel->setBuddy(inputList_);

    auto* similarityLabel = new QLabel("相似度阈值:", this);
    similarityLabel->setAccessibleName("相似度阈值:");
    similarityEdit_ = new QDoubleSpinBox(this);
    NameControl(similarityEdit_, "SimilarityEdit", "相似度阈值:");
    similarityEdit_->setRange(0.0, 1.0);
    similarityEdit_->setSingleStep(0.01);
    similarityEdit_->setDecimals(2);
    similarityLabel->setBuddy(similarityEdit_);

    afterDownloadBox_ = new QCheckBox("下载后校验", this);
    NameControl(afterDownloadBox_, "AfterDownloadBox", "下载后校验");

    okBtn_ = OkButton(this, "OKBtn", QRect());
    cancelBtn_ = CancelButton(this, QRect());
    cancelBtn_->setObjectName("CancelBtn");

    auto* form = new QFormLayout;
    form->addRow(similarityLabel, similarityEdit_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okBtn_);
    buttons->addWidget(cancelBtn_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(inputLabel);
    layout->addWidget(inputList_, 1);
    layout->addLayout(form);
    layout->addWidget(afterDownloadBox_);
    layout->addLayout(buttons);

    connect(inputList_, &QListWidget::itemSelectionChanged, this, &TVerifySettingsDialog::UpdateOk);
    connect(okBtn_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancelBtn_, &QPushButton::clicked, this, &QDialog::reject);
    FillInputs("");
}

void TVerifySettingsDialog::SetInputs(std::vector<audio::SoundInputInfo> inputs) { inputs_ = std::move(inputs); }

void TVerifySettingsDialog::FillInputs(const std::string& current) {
    inputList_->clear();
    bool listed = false;
    for (const audio::SoundInputInfo& in : inputs_) listed = listed || in.name == current;
    // An input that is not plugged in today stays the choice until another is made.
    if (!current.empty() && !listed) InputItem(current, "", inputList_)->setSelected(true);
    for (const audio::SoundInputInfo& in : inputs_) {
        QListWidgetItem* item = InputItem(in.name, in.description, inputList_);
        if (in.name == current) item->setSelected(true);
    }
    if (!inputList_->selectedItems().isEmpty()) inputList_->setCurrentItem(inputList_->selectedItems().first());
    UpdateOk();
}

void TVerifySettingsDialog::UpdateOk() { okBtn_->setEnabled(!inputList_->selectedItems().isEmpty()); }

bool TVerifySettingsDialog::Run(VerifyChoice* choice) {
    FillInputs(choice->input);
    similarityEdit_->setValue(choice->minSimilarity);
    afterDownloadBox_->setChecked(choice->afterDownload);
    inputList_->setFocus();
    if (exec() != QDialog::Accepted || inputList_->selectedItems().isEmpty()) return false;
    choice->input = inputList_->selectedItems().first()->data(Qt::UserRole).toString().toStdString();
    choice->minSimilarity = similarityEdit_->value();
    choice->afterDownload = afterDownloadBox_->isChecked();
    return true;
}
