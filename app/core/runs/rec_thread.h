// The programming worker: walks the list and, for every segment marked for
// programming, tells the module to record at the segment's addresses and
// plays the segment's file on the sound output that feeds the module's AUX
// input.
//
// The worker works on a copy of the list taken when its dialog is shown, its
// own audio player, and a driver lease held from its first to its last
// driver call, so a worker that outlives its dialog after a cancel shares
// nothing with the next command (which finds the lease taken and refuses).
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
namespace audio {
class CMyMediaPlayer;
}  // namespace audio

namespace runs {

// Texts of the programming progress dialog.
inline constexpr const char* kRecCaptionPreparing = "准备编程";
inline constexpr const char* kRecStatusPreparing = "准备编程...";
inline constexpr const char* kRecCaptionRunning = "正在编程...";
inline constexpr const char* kRecFinished = "编程结束";

// Everything one run reads. The list is the worker's own copy.
struct RecJob {
    list::ProgrammingList list;
    files::ChipProfile chip;
    int64_t extent = 0;                         // list extent in ms: the end of the progress range
    binding::DriverBinding* drivers = nullptr;  // leased for the whole run
    // Optional: the digest of a segment's file, taken in the pause before the
    // segment (so as the file is when it plays); "" when it cannot be read.
    std::function<std::string(const std::string& path)> digest;
};

// What a run left out. The dialog shows none of it; a caller that must
// answer for the chip's contents (the command-line tool) reports it.
struct RecSummary {
    struct Segment {
        int row = 0;
        std::string file;  // the file-name cell
        int32_t code = 0;  // the last RecordSegment result; 0 for a missing file
    };
    std::vector<Segment> unrecorded;  // every record attempt failed (the sound was played all the same)
    std::vector<Segment> missing;     // skipped: the audio file does not exist
    std::vector<Segment> unplayed;    // the sound did not play (code: the player's result): the chip got silence

    // Every marked segment the run reached, in order: what went into the chip.
    struct Reached {
        int row = 0;
        std::string path;            // the audio file as played
        int32_t start = 0, end = 0;  // the addresses of its record command
        std::string digest;          // RecJob::digest of the file, when asked for
        bool recorded = false;       // recorded with its sound
    };
    std::vector<Reached> reached;
};

class RecThread {
public:
    enum class End {
        Finished,  // ending steps done, dialog asked to close
        Failed,    // a cell that is no number: EndRecording only, the dialog stays open
    };

    static constexpr int kPauseMs = 1000;  // before each marked segment
    static constexpr int kAttempts = 100;  // record command attempts
    static constexpr int kRetryPauseMs = 50;
    static constexpr int kEndPauseMs = 200;  // before EndRecording
    // A sound still playing this long after its segment's length has run
    // out is stopped, so no file can hold the run or record past its range.
    static constexpr int kStuckPlayerGraceMs = 1000;

    RecThread(RecJob job, RunDialog& dialog, IRunView& view);
    End Execute();
    const RecSummary& Summary() const { return summary_; }

private:
    // What one row of the list leads to.
    enum class RowEnd {
        NextRow,  // done with the row (recorded, skipped or its file missing)
        SameRow,  // the previous sound still plays: the row again after another pause
        StopRun,  // end of the list, overflow or cancel: the ending steps follow
        Failed,   // a cell that is no number
        GoOn,     // (AddressSegment) addressed: record it
    };

    End Fail(IDevInter* driver);
    // One row: its pause, address, record command and sound.
    RowEnd RunRow(int row, IDevInter& driver, audio::CMyMediaPlayer& player);
    // True while the previous sound plays; a stuck player is closed instead.
    bool PreviousSoundPlays(audio::CMyMediaPlayer& player);
    // The pause before a marked segment, with its file's digest taken in it.
    void PauseBefore(int row);
    // Shows the segment and computes its chip addresses; *length its length in ms.
    RowEnd AddressSegment(int row, int32_t* length);
    // The record command with its retries; the last attempt's result, and
    // in *sentNs when that attempt's driver call returned.
    int32_t SendRecordCommand(int row, IDevInter& driver, int64_t* sentNs);
    // The ending steps: EndRecording, the lease returned, the dialog closed.
    End Finish(IDevInter* driver, binding::DriverLease& lease, audio::CMyMediaPlayer& player);

    RecJob job_;
    RunDialog& dialog_;
    IRunView& view_;
    // What the next update shows, and the segment in work.
    std::string status_;
    std::string filePath_;
    int32_t position_ = 0;
    bool attemptFailed_ = false;
    int32_t start_ = 0;
    int32_t end_ = 0;
    // The last sound started: when, and its length in the list.
    int64_t soundStartedMs_ = 0;
    int64_t soundLengthMs_ = 0;
    // The digest taken in the pause, for the row it was taken for.
    int digestRow_ = 0;
    std::string digest_;
    RecSummary summary_;
};

// The dialog's show step: starts a RecThread on `job` unless the dialog is
// running or its last worker has not ended. on_end (optional) is called on
// the worker thread as its last act; summary (optional) is filled just before.
bool StartRecThread(RunDialog& dialog, RecJob job, IRunView& view, std::function<void(RecThread::End)> on_end = {},
                    RecSummary* summary = nullptr);

}  // namespace runs
