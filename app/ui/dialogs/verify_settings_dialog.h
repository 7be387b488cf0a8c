// TVerifySettingsDialog: the verification's settings ("校验设置"): the sound
// input that listens to the module's output, the similarity a segment must
// reach, and whether a programming run verifies the chip at once. Made once
// and reused; it only shows and returns the choice, the verify command keeps
// it and lists the inputs.
#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "audio/sound_capture.h"

class QCheckBox;
class QDoubleSpinBox;
class QListWidget;
class QPushButton;

struct VerifyChoice {
    std::string input;  // a sound input's name, as ListSoundInputs gives it
    double minSimilarity = 0.80;
    bool afterDownload = false;  // verify right after a programming run
};

class TVerifySettingsDialog : public QDialog {
    Q_OBJECT
public:
    explicit TVerifySettingsDialog(std::vector<audio::SoundInputInfo> inputs = {}, QWidget* parent = nullptr);

    // The machine's inputs as listed now (an adapter may have been plugged
    // in since the last run); shown by the next Run.
    void SetInputs(std::vector<audio::SoundInputInfo> inputs);

    // Shows the dialog modally with *choice's values. True when it closed
    // with OK, *choice then holding the dialog's values; otherwise *choice is
    // left as it was.
    bool Run(VerifyChoice* choice);

    QListWidget* InputList() const { return inputList_; }
    QDoubleSpinBox* SimilarityEdit() const { return similarityEdit_; }
    QCheckBox* AfterDownloadBox() const { return afterDownloadBox_; }
    QPushButton* OKBtn() const { return okBtn_; }
    QPushButton* CancelBtn() const { return cancelBtn_; }

private:
    void FillInputs(const std::string& current);
    void UpdateOk();

    std::vector<audio::SoundInputInfo> inputs_;
    QListWidget* inputList_;
    QDoubleSpinBox* similarityEdit_;
    QCheckBox* afterDownloadBox_;
    QPushButton* okBtn_;
    QPushButton* cancelBtn_;
};
