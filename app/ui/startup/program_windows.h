// The program's windows, made once at start-up in their order behind the
// splash, and kept until the program ends.
#pragma once

#include <memory>
#include <string>

#include "dialogs/about_box.h"
#include "main_form.h"
#include "dialogs/play_count_dialog.h"
#include "dialogs/run_progress_dialog.h"
#include "dialogs/segment_dialog.h"
#include "dialogs/settings_dialog.h"
#include "startup/splash.h"
#include "dialogs/volume_dialog.h"

class ProgramWindows {
public:
    // Shows the splash at once, then makes the main window (its creation
    // steps read the configuration, bind the driver and load the chip) and
    // the dialogs, then destroys the splash. The main window is not shown yet.
    explicit ProgramWindows(MainFormSetup setup);

    TMainForm& Main() { return *main_; }
    TAboutBox1& About() { return *about_; }
    TfrmPath& Settings() { return *settings_; }
    TFrmedit& Frmedit() { return *frmedit_; }
    TFrmwWait& FrmwWait() { return *frmwWait_; }
    TFrmVal& FrmVal() { return *frmVal_; }
    TFrmwPalyCount& FrmwPalyCount() { return *frmwPalyCount_; }
    // Null once the windows are made.
    const TfrmSplash* Splash() const { return splash_.get(); }

private:
    std::unique_ptr<TfrmSplash> splash_;
    std::unique_ptr<TMainForm> main_;
    std::unique_ptr<TAboutBox1> about_;
    std::unique_ptr<TFrmedit> frmedit_;
    std::unique_ptr<TfrmPath> settings_;
    std::unique_ptr<TFrmwWait> frmwWait_;
    std::unique_ptr<TFrmVal> frmVal_;
    std::unique_ptr<TFrmwPalyCount> frmwPalyCount_;
};
