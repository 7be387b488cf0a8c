// TfrmPath: names the external sound editor ("设置编辑文件路径"). Made once
// and reused; the settings command prepares it, runs it and stores OK.
#pragma once

#include <QDialog>
#include <QString>
#include <functional>

#include "commands/editor_commands.h"
#include "commands/workspace.h"

class QCheckBox;
class QFileDialog;
class QGroupBox;
class QLineEdit;
class QPushButton;

class TfrmPath : public QDialog {
    Q_OBJECT
public:
    // Runs the browse dialog; the picked file's full path, empty when cancelled.
    using FilePicker = std::function<QString(QFileDialog& dialog)>;

    explicit TfrmPath(QWidget* parent = nullptr);

    // The tick, the path box and the browse button as `s` says.
    void Prepare(const commands::EditorSettings& s);
    // What the dialog holds now (the tick and the path box's text).
    commands::EditorSettings Current() const;

    // Tests put a scripted pick here; the program runs OpenDialog1.
    void SetFilePicker(FilePicker picker) { picker_ = std::move(picker); }

    QCheckBox* EditCheck() const { return editCheck_; }
    QLineEdit* EPath() const { return ePath_; }
    QPushButton* BPath() const { return bPath_; }
    QPushButton* OKBtn() const { return okBtn_; }
    QPushButton* Button1() const { return button1_; }
    // The browse dialog, made the first time it is wanted: a file dialog and
    // its file system model are the costliest part of the program's start.
    QFileDialog* OpenDialog1();

protected:
    // No key cancels this dialog: only "取消" and the close box do.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void EditCheckClick(bool ticked);
    void BPathClick();

    QCheckBox* editCheck_;
    QGroupBox* groupBox_;
    QLineEdit* ePath_;
    QPushButton* bPath_;
    QPushButton* okBtn_;
    QPushButton* button1_;
    QFileDialog* openDialog_ = nullptr;
    FilePicker picker_;
};

// The settings command (C3Click): prepare, run modally, store on OK.
void RunSettingsCommand(TfrmPath& dialog, commands::Workspace& w);
