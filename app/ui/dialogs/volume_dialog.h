// TFrmVal: the volume dialog, a track bar over the levels 0..15. Made once
// and reused; it only shows and returns the position, the volume command
// stores and applies it.
#pragma once

#include <QDialog>

class QGroupBox;
class QPushButton;
class QSlider;

class TFrmVal : public QDialog {
    Q_OBJECT
public:
    explicit TFrmVal(QWidget* parent = nullptr);

    // Shows the dialog modally with the track bar at *position. True when it
    // closed with OK, *position then holding the bar's position; otherwise
    // *position is left as it was.
    bool Run(int* position);

    QGroupBox* GroupBox1() const { return groupBox1_; }
    QSlider* TrackBar1() const { return trackBar1_; }
    QPushButton* OKBtn() const { return okBtn_; }
    QPushButton* Button1() const { return button1_; }

private:
    QGroupBox* groupBox1_;
    QSlider* trackBar1_;
    QPushButton* okBtn_;
    QPushButton* button1_;
};
