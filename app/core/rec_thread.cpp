#include "rec_thread.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "debug_trace.h"
#include "media_player.h"
#include "numbers.h"
#include "play_log.h"
#include "project_file.h"

namespace {

void SleepMs(int64_t ms) {
    if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

int64_t MonotonicMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

bool CellNumber(const plist::ProgrammingList& list, int row, int col, int32_t* value) {
    return num::TryStrToInt(list.Cell(row, col), value);
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
    DriverLease lease = job_.drivers ? job_.drivers->Acquire() : DriverLease();
    IDevInter* driver = lease.driver();
    if (!driver) return End::Failed;
    CMyMediaPlayer player;
    const plist::ProgrammingList& list = job_.list;
    const addr::ChipParams& chip = job_.chip;

    status_ = kRecCaptionRunning;
    view_.SetCaption(status_);
    int64_t sound_started_ms = 0, sound_length_ms = 0;

    for (int row = 1; row <= plist::kRows;) {
        if (list.Cell(row, plist::kColRow).empty()) break;
        int32_t flag = 0;
        if (!CellNumber(list, row, plist::kColFlag, &flag)) return Fail(driver);
        if (flag == 0) {
            ++row;
            continue;
        }
        SleepMs(kPauseMs);
        // The previous segment's sound still plays: another pause for this row.
        // A player that still says so a second after the sound's length (the
        // list's or the file's own, whichever is longer) has run out is stuck;
        // it is stopped rather than waited for without end.
        if (player.GetMode() == kModePlay) {
            const int64_t longest = std::max<int64_t>(sound_length_ms, player.GetLength());
            if (MonotonicMs() < sound_started_ms + longest + kStuckPlayerGraceMs) continue;
            player.Close();
        }

        int32_t start = 0, length = 0;
        if (!CellNumber(list, row, plist::kColStart, &start)) return Fail(driver);
        position_ = num::Clamp32(int64_t{start} * chip.step);
        status_ = list.Cell(row, plist::kColName);
        view_.SetStatus(status_, position_);
        file_path_ = list.Cell(row, plist::kColShownPath);

        if (start > chip.last_address) {
            dialog_.MarkOverflow();
            break;
        }
        if (!CellNumber(list, row, plist::kColLength, &length)) return Fail(driver);
        start_ = num::Clamp32(addr::ChipStart(start, chip));
        end_ = num::Clamp32(addr::EndAddress(start, length, chip));
        if (!dialog_.Running()) break;
        // A file missing when the project was loaded shows the marker instead of its path.
        if (file_path_ == plist::kFileDeleted || !qwf::FileExists(file_path_)) {
            summary_.missing.push_back({row, status_, 0});
            ++row;
            continue;
        }

        // The file is opened (and pre-rolled) before the record command, so
        // that only starting the sound lies between the accepted command and
        // the sound reaching the module. The previous sound has ended here.
        player.SetFileName(file_path_);
        player.Close();
        player.Open();

        int32_t code = 0;
        int64_t record_sent_ns = 0;
        for (int attempt = 1; attempt <= kAttempts; ++attempt) {
            code = driver->RecordSegment(start_, end_, chip.code);
            record_sent_ns = audio::MonotonicNs();
            attempt_failed_ = code != 0;
            dbg::Outputf("Recording %d retrun=%d", row, attempt_failed_ ? 1 : 0);
            if (!attempt_failed_) break;
            if (attempt < kAttempts) SleepMs(kRetryPauseMs);
        }
        if (attempt_failed_) summary_.unrecorded.push_back({row, status_, code});
        player.Play();
        sound_started_ms = MonotonicMs();
        sound_length_ms = length;
        // Written once the sound is started, so nothing but the start lies
        // between the command and the sound.
        if (!attempt_failed_) audio::LogRecordSent(record_sent_ns, row);

        if (!dialog_.Running()) break;
        SleepMs(length);
        ++row;
    }

    SleepMs(kEndPauseMs);
    driver->EndRecording();
    lease = DriverLease();  // the run is done with the driver
    position_ = num::Clamp32(job_.extent);
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
