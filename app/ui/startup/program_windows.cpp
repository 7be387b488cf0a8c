#include "startup/program_windows.h"

#include "startup/first_paint.h"

ProgramWindows::ProgramWindows(MainFormSetup setup) : splash_(std::make_unique<TfrmSplash>()) {
    // On the screen before the slow steps begin.
    splash_->ShowNow();
    StampSplashPaintOnRequest();
    main_ = std::make_unique<TMainForm>(std::move(setup));
    about_ = std::make_unique<TAboutBox1>(main_.get());
    frmedit_ = std::make_unique<TFrmedit>(main_.get());
    settings_ = std::make_unique<TfrmPath>(main_.get());
    frmwWait_ = std::make_unique<TFrmwWait>(main_.get());
    frmVal_ = std::make_unique<TFrmVal>(main_.get());
    frmwPalyCount_ = std::make_unique<TFrmwPalyCount>(main_.get());
    main_->AttachDialogs(about_.get(), settings_.get());
    RunDialogs run;
    run.frmedit = frmedit_.get();
    run.frmwWait = frmwWait_.get();
    run.frmwPalyCount = frmwPalyCount_.get();
    run.frmVal = frmVal_.get();
    main_->AttachRunDialogs(run);
    splash_.reset();
}
