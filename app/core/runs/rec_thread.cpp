#include "runs/rec_thread.h"

#include <algorithm>

#include "audio/audio_result.h"
#include "runs/debug_trace.h"
#include "audio/media_player.h"
#include "audio/mono_clock.h"
#include "text/numbers.h"
#include "audio/play_log.h"
#include "list/project_file.h"

namespace runs {

using audio::MonotonicMs;
using audio::SleepMs;

namespace {

bool CellNumber(const list::ProgrammingList& list, int row, int col, int32_t* value) {
    return text::TryStrToInt(list.Cell(row, col), value);
}

}  // namespace

RecThread::RecThread(RecJob job, RunDialog& dialog, IRunView& view)
    : job_(std::move(job)), dialog_(dialog), view_(view) {}

RecThread::End RecThread::Fail(IDevInter* driver) {
    if (driver) driver->EndRecording();
    return End::Failed;
}

RecThread::End RecThread::Execute() {
    // The lease is free: the command returned its own before the dialog was shown.
    binding::DriverLease lease = job_.drivers ? job_.drivers->Acquire() : binding::DriverLease();
    IDevInter* driver = lease.driver();
    if (!driver) return End::Failed;
    audio::CMyMediaPlayer player;

    status_ = kRecCaptionRunning;
    view_.SetCaption(status_);
    soundStartedMs_ = 0;
    soundLengthMs_ = 0;

    for (int row = 1; row <= list::kRows;) {
        const RowEnd end = RunRow(row, *driver, player);
        if (end == RowEnd::Failed) return Fail(driver);
        if (end == RowEnd::StopRun) break;
        if (end == RowEnd::NextRow) ++row;
    }
    return Finish(driver, lease, player);
}

RecThread::RowEnd RecThread::RunRow(int row, IDevInter& driver, audio::CMyMediaPlayer& player) {
    const list::ProgrammingList& list = job_.list;
    if (list.Cell(row, list::kColRow).empty()) return RowEnd::StopRun;
    int32_t flag = 0;
    if (!CellNumber(list, row, list::kColFlag, &flag)) return RowEnd::Failed;
    if (flag == 0) return RowEnd::NextRow;
    PauseBefore(row);
    // After a cancel the segment in work has had its length: nothing is
    // waited for and no later row is shown.
    if (!dialog_.Running()) return RowEnd::StopRun;
    if (PreviousSoundPlays(player)) return RowEnd::SameRow;

    int32_t length = 0;
    const RowEnd addressed = AddressSegment(row, &length);
    if (addressed != RowEnd::GoOn) return addressed;
    // A file missing when the project was loaded shows the marker instead of its path.
    if (filePath_ == list::kFileDeleted || !list::FileExists(filePath_)) {
        summary_.missing.push_back({row, status_, 0});
        return RowEnd::NextRow;
    }

    // The file is opened (and pre-rolled) before the record command, so
    // that only starting the sound lies between the accepted command and
    // the sound reaching the module. The previous sound has ended here.
    player.SetFileName(filePath_);
    player.Close();
    int played = player.Open();
    int64_t sentNs = 0;
    const int32_t code = SendRecordCommand(row, driver, &sentNs);
    if (attemptFailed_) summary_.unrecorded.push_back({row, status_, code});
    if (played == audio::kAudioOk) played = player.Play();
    // The module recorded silence: a run that cannot play must not pass for one that did.
    if (played != audio::kAudioOk) summary_.unplayed.push_back({row, status_, played});
    summary_.reached.push_back({row, filePath_, start_, end_, digestRow_ == row ? digest_ : std::string(),
                                !attemptFailed_ && played == audio::kAudioOk});
    soundStartedMs_ = MonotonicMs();
    soundLengthMs_ = length;
    // Written once the sound is started, so nothing but the start lies
    // between the command and the sound.
    if (!attemptFailed_) audio::LogRecordSent(sentNs, row);

    if (!dialog_.Running()) return RowEnd::StopRun;
    SleepMs(length);
    return RowEnd::NextRow;
}

void RecThread::PauseBefore(int row) {
    const int64_t until = MonotonicMs() + kPauseMs;
    if (job_.digest && digestRow_ != row) {
        const std::string& path = job_.list.Cell(row, list::kColShownPath);
        digest_ = list::FileExists(path) ? job_.digest(path) : std::string();
        digestRow_ = row;
    }
    SleepMs(std::max<int64_t>(0, until - MonotonicMs()));
}

bool RecThread::PreviousSoundPlays(audio::CMyMediaPlayer& player) {
    // The previous segment's sound still plays: another pause for this row,
    // but only until a second after the segment's length in the list has run
    // out. A file longer than its row (changed after it was added) or a stuck
    // player is then stopped: it would hold the run and record past the
    // segment's range.
    if (player.GetMode() != audio::kModePlay) return false;
    if (MonotonicMs() < soundStartedMs_ + soundLengthMs_ + kStuckPlayerGraceMs) return true;
    player.Close();
    return false;
}

RecThread::RowEnd RecThread::AddressSegment(int row, int32_t* length) {
    const list::ProgrammingList& list = job_.list;
    const files::ChipProfile& chip = job_.chip;
    int32_t start = 0;
    if (!CellNumber(list, row, list::kColStart, &start)) return RowEnd::Failed;
    position_ = text::Clamp32(int64_t{start} * chip.step);
    status_ = list.Cell(row, list::kColName);
    view_.SetStatus(status_, position_);
    filePath_ = list.Cell(row, list::kColShownPath);

    if (start > chip.lastAddress) {
        dialog_.MarkOverflow();
        return RowEnd::StopRun;
    }
    if (!CellNumber(list, row, list::kColLength, length)) return RowEnd::Failed;
    start_ = text::Clamp32(list::ChipStart(start, chip));
    end_ = text::Clamp32(list::EndAddress(start, *length, chip));
    if (!dialog_.Running()) return RowEnd::StopRun;
    return RowEnd::GoOn;
}

int32_t RecThread::SendRecordCommand(int row, IDevInter& driver, int64_t* sentNs) {
    int32_t code = 0;
    for (int attempt = 1; attempt <= kAttempts; ++attempt) {
        code = driver.RecordSegment(start_, end_, job_.chip.code);
        *sentNs = audio::MonotonicNs();
        attemptFailed_ = code != 0;
        runs::Outputf("Recording %d retrun=%d", row, attemptFailed_ ? 1 : 0);
        if (!attemptFailed_) break;
        if (attempt < kAttempts) SleepMs(kRetryPauseMs);
    }
    return code;
}

RecThread::End RecThread::Finish(IDevInter* driver, binding::DriverLease& lease, audio::CMyMediaPlayer& player) {
    SleepMs(kEndPauseMs);
    driver->EndRecording();
    lease = binding::DriverLease();  // the run is done with the driver
    position_ = text::Clamp32(job_.extent);
    status_ = kRecFinished;
    view_.SetStatus(status_, position_);
    view_.SetCaption(status_);
    player.Close();
    view_.CloseDialog();
    return End::Finished;
}

bool StartRecThread(RunDialog& dialog, RecJob job, IRunView& view, std::function<void(RecThread::End)> on_end,
                    RecSummary* summary) {
    return dialog.Show([&dialog, &view, job = std::move(job), on_end = std::move(on_end), summary]() mutable {
        RecThread worker(std::move(job), dialog, view);
        RecThread::End end = worker.Execute();
        if (summary) *summary = worker.Summary();
        if (on_end) on_end(end);
    });
}

}  // namespace runs
