#include "dialogs/volume_dialog.h"

#include <QGroupBox>
#include <QPushButton>
#include <QSlider>

#include "dialogs/dialog_controls.h"
#include "ui_font.h"
#include "audio/volume.h"

TFrmVal::TFrmVal(QWidget* parent) : QDialog(parent, FixedDialogFlags()) {
    setObjectName("FrmVal");
    setWindowTitle("音量设置");
    setFont(SongFont(12));
    setFixedSize(313, 112);

    groupBox1_ = new QGroupBox("WAV-音量大小", this);
    groupBox1_->setObjectName("GroupBox1");
    groupBox1_->setAccessibleName("WAV-音量大小");
    groupBox1_->setGeometry(4, 4, 305, 64);

    trackBar1_ = new QSlider(Qt::Horizontal, groupBox1_);
    trackBar1_->setObjectName("TrackBar1");
    trackBar1_->setAccessibleName("WAV-音量大小");
    trackBar1_->setGeometry(6, 26, 293, 25);
    trackBar1_->setRange(0, audio::kWavValMax);
    trackBar1_->setTickInterval(1);
    trackBar1_->setTickPosition(QSlider::TicksBelow);
    trackBar1_->setPageStep(1);
    trackBar1_->setValue(0);

    okBtn_ = OkButton(this, "OKBtn", QRect(148, 78, 75, 25));
    button1_ = CancelButton(this, QRect(230, 78, 75, 25));

    connect(okBtn_, &QPushButton::clicked, this, &QDialog::accept);
    connect(button1_, &QPushButton::clicked, this, &QDialog::reject);
}

bool TFrmVal::Run(int* position) {
    trackBar1_->setValue(*position);
    trackBar1_->setFocus();
    if (exec() != QDialog::Accepted) return false;
    *position = trackBar1_->value();
    return true;
}
