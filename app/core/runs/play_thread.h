// The playback worker: makes the module play every segment of the list that
// is marked for programming, one after the other, timing each by the length
// in the list (the module's playback is not polled).
//
// Like the programming worker it reads its own copy of the list and holds the
// driver lease for the whole playback.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "list/address_math.h"
#include "binding/driver_binding.h"
#include "list/programming_list.h"
#include "runs/run_dialog.h"
#include "runs/run_view.h"
#include "messages/user_prompt.h"

namespace runs {

inline constexpr const char* kPlayCaption = "正在播放......";

struct PlayJob {
    list::ProgrammingList list;
    files::ChipProfile chip;
    binding::DriverBinding* drivers = nullptr;
};

// What the dialog does not tell: the segments the module refused to play.
struct PlaySummary {
    struct Segment {
        int row = 0;
        std::string file;  // the file-name cell
        int32_t code = 0;  // the PlaySegment result
    };
    std::vector<Segment> unplayed;
};

class PlayThread {
public:
    enum class End {
        Finished,  // EndPlayback sent, dialog asked to close
        Failed,    // a cell that is no number: EndPlayback, mark cleared, dialog
                   // asked to close, then MsgId::SystemError shown
    };

    static constexpr int kTickMs = 1;  // before the range and each update
    static constexpr int kAfterSegmentMs = 100;

    // `ui` shows the failure message; it is called on the worker's thread.
    PlayThread(PlayJob job, RunDialog& dialog, IRunView& view, messages::IUserPrompt& ui);
    End Execute();
    const PlaySummary& Summary() const { return summary_; }

private:
    End Fail(IDevInter* driver);

    PlayJob job_;
    RunDialog& dialog_;
    IRunView& view_;
    messages::IUserPrompt& ui_;
    int32_t start_ = 0;
    int32_t end_ = 0;
    std::string fileName_;
    int32_t rowNumber_ = 0;
    PlaySummary summary_;
};

// The play-count dialog's show step: starts a PlayThread unless the dialog is
// running or its last worker has not ended. `summary` (optional) receives the
// worker's summary before on_end is called.
bool StartPlayThread(RunDialog& dialog, PlayJob job, IRunView& view, messages::IUserPrompt& ui,
                     std::function<void(PlayThread::End)> on_end = {}, PlaySummary* summary = nullptr);

}  // namespace runs
