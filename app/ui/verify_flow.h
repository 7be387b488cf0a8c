// The main window's verification: "校验芯片" (the command's checks, the
// progress dialog, then the results window) and "校验设置..." (the sound input,
// the threshold and "下载后校验", kept in Sonmira.INI). Its windows are made on
// first use, so a start-up that never verifies does not make them.
#pragma once

#include <memory>

#include "commands/workspace.h"
#include "messages/user_prompt.h"
#include "runs/rec_thread.h"

class QWidget;
class TVerifyProgress;
class TVerifyResultsWindow;
class TVerifySettingsDialog;

class VerifyFlow {
public:
    VerifyFlow(QWidget* parent, messages::IUserPrompt& ui);
    ~VerifyFlow();

    // 校验设置...: true when the user chose OK (the choice is then written).
    bool Settings(commands::Workspace& w);
    // 校验芯片: without a chosen input the settings come first.
    void Verify(commands::Workspace& w);
    // Whether "下载后校验" asks for a verification after a programming run
    // that ended this way: it reached every marked row (no cancel) and did
    // not overflow.
    bool DueAfterRun(const commands::Workspace& w, const runs::RecSummary& run, bool overflow) const;

    // For tests: the windows once made (nullptr before).
    TVerifySettingsDialog* SettingsDialog() const { return settings_.get(); }
    TVerifyProgress* Progress() const { return progress_.get(); }
    TVerifyResultsWindow* Results() const { return results_.get(); }

private:
    QWidget* parent_;
    messages::IUserPrompt& ui_;
    std::unique_ptr<TVerifySettingsDialog> settings_;
    std::unique_ptr<TVerifyProgress> progress_;
    std::unique_ptr<TVerifyResultsWindow> results_;
};
