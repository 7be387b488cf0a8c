// TFrmedit: one segment's particulars, its start address and its program
// flag ("文件资料"). Made once and reused; each opening refills every field
// from the form the list command hands in, and OK goes back to the command
// until it accepts.
#pragma once

#include <QDialog>
#include <functional>

#include "list/segment_properties.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

class TFrmedit : public QDialog {
    Q_OBJECT
public:
    // What OK does with the form as the dialog holds it (the list command's
    // PropertiesOk): KeepOpen leaves the dialog open, focus on the address.
    using OkStep = std::function<list::OkResult(const list::SegmentForm& form)>;

    explicit TFrmedit(QWidget* parent = nullptr);

    // Fills the dialog from `form`, runs it modally; *form gets the address
    // and the flag as they stood. True when it closed through an accepted OK.
    bool Run(list::SegmentForm& form, OkStep ok);

    QLabel* FileName() const { return fileName_; }
    QLabel* FilePathName() const { return filePathName_; }
    QLabel* ChangeDate() const { return changeDate_; }
    QLabel* PlayTime() const { return playTime_; }
    QCheckBox* PCheck() const { return pCheck_; }
    QLineEdit* Eadd() const { return eadd_; }
    QPushButton* OKBtn() const { return okBtn_; }
    QPushButton* Button1() const { return button1_; }

private:
    void OKBtnClick();

    QLabel* fileName_;
    QLabel* filePathName_;
    QLabel* changeDate_;
    QLabel* playTime_;
    QCheckBox* pCheck_;
    QLineEdit* eadd_;
    QPushButton* okBtn_;
    QPushButton* button1_;
    list::SegmentForm form_;
    OkStep ok_;
};
