// TAboutBox1: the about box ("关于语音编程器"). Not modal; made once, shown
// by the about command and hidden by "确定".
#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

class TAboutBox1 : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox1(QWidget* parent = nullptr);

    QPushButton* OKButton() const { return okButton_; }

private:
    QFrame* panel_;
    QPushButton* okButton_;
};

// The about command (ToolButton12Click): shows the box without making it
// modal; when it is already shown it stays the one box, brought to the front.
void ShowAboutBox(TAboutBox1& box);
