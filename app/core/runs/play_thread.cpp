#include "runs/play_thread.h"

#include "messages/messages.h"
#include "audio/mono_clock.h"
#include "text/numbers.h"

namespace runs {

using audio::SleepMs;

PlayThread::PlayThread(PlayJob job, RunDialog& dialog, IRunView& view, messages::IUserPrompt& ui)
    : job_(std::move(job)), dialog_(dialog), view_(view), ui_(ui) {}

PlayThread::End PlayThread::Fail(IDevInter* driver) {
    if (driver) driver->EndPlayback();
    dialog_.Close();  // on this thread: clears the mark without waiting for itself
    view_.CloseDialog();
    messages::ShowMessage(ui_, messages::MsgId::SystemError);
    return End::Failed;
}

PlayThread::End PlayThread::Execute() {
    binding::DriverLease lease = job_.drivers ? job_.drivers->Acquire() : binding::DriverLease();
    IDevInter* driver = lease.driver();
    if (!driver) return Fail(nullptr);
    const list::ProgrammingList& list = job_.list;
    const files::ChipProfile& chip = job_.chip;

    int32_t last = 0;
    for (int row = 1; row <= list::kRows; ++row) {
        const std::string& cell = list.Cell(row, list::kColRow);
        if (cell.empty()) break;
        if (!text::TryStrToInt(cell, &last)) return Fail(driver);
    }
    SleepMs(kTickMs);
    view_.SetRange(text::Clamp32(int64_t{last} + 1));

    for (int32_t row = 1; row <= last; ++row) {
        int32_t flag = 0, start = 0, length = 0;
        if (!text::TryStrToInt(list.Cell(row, list::kColFlag), &flag)) return Fail(driver);
        if (flag == 0) continue;
        rowNumber_ = row;
        fileName_ = list.Cell(row, list::kColName);
        SleepMs(kTickMs);
        view_.SetStatus(fileName_, rowNumber_);
        if (!dialog_.Running()) break;
        if (!text::TryStrToInt(list.Cell(row, list::kColStart), &start) ||
            !text::TryStrToInt(list.Cell(row, list::kColLength), &length))
            return Fail(driver);
        const int64_t chip_start = list::ChipStart(start, chip);
        start_ = text::Clamp32(chip_start);
        end_ = text::Clamp32(list::EndAddress(start, length, chip));
        if (chip_start < chip.lowest) continue;
        // The playback goes on whatever it returns; the summary keeps the refusals.
        const int32_t code = driver->PlaySegment(start_, end_);
        if (code != kDevOk) summary_.unplayed.push_back({row, fileName_, code});
        if (!dialog_.Running()) break;
        SleepMs(length);
        SleepMs(kAfterSegmentMs);
        if (!dialog_.Running()) break;
    }
    driver->EndPlayback();
    view_.CloseDialog();
    return End::Finished;
}

bool StartPlayThread(RunDialog& dialog, PlayJob job, IRunView& view, messages::IUserPrompt& ui,
                     std::function<void(PlayThread::End)> on_end, PlaySummary* summary) {
    return dialog.Show([&dialog, &view, &ui, job = std::move(job), on_end = std::move(on_end), summary]() mutable {
        PlayThread worker(std::move(job), dialog, view, ui);
        PlayThread::End end = worker.Execute();
        if (summary) *summary = worker.Summary();
        if (on_end) on_end(end);
    });
}

}  // namespace runs
