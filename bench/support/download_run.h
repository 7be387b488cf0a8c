// A programming run for the benchmarks: the download command and its worker,
// as the desktop program runs them, on the chip every benchmark programs.
#pragma once

#include <cstdio>
#include <future>

#include "binding/driver_binding.h"
#include "files/chip_table.h"
#include "list/programming_list.h"
#include "runs/download_command.h"
#include "runs/rec_thread.h"
#include "runs/run_dialog.h"
#include "run_rig.h"
#include "scripted_prompt.h"

namespace bench {

// The second module's 60-second chip: 100 ms an address, addresses 0 to 0x257.
inline files::ChipProfile BenchChip() {
    files::ChipProfile chip;
    chip.code = 0x0101;
    chip.step = 100;
    chip.lastAddress = 0x257;
    chip.capacity = 60000;
    return chip;
}

// Programs `list` through the bound driver and waits for the worker's end,
// every question answered yes; `view` sees the worker's updates. *started_ns
// (when given) is the moment the worker was started. False, with the reason
// on stderr, when the command stopped before the run.
inline bool RunDownload(const list::ProgrammingList& list, const files::ChipProfile& chip,
                        binding::DriverBinding& drivers, runs::IRunView& view, int64_t* started_ns = nullptr) {
    ScriptedPrompt prompt{messages::MsgAnswer::Yes};
    runs::RunDialog dialog(prompt, messages::MsgId::RecOverflow);
    runs::DownloadInputs in;
    in.list = &list;
    in.chip = chip;
    in.drivers = &drivers;
    runs::RecJob job;
    if (runs::DownloadCommand(in, prompt, view, &job) != runs::CommandEnd::OpenDialog) {
        std::fprintf(stderr, "download command stopped: %s\n", prompt.Texts().empty() ? "" : prompt.Texts()[0].c_str());
        return false;
    }
    std::promise<void> ended;
    if (started_ns) *started_ns = rig::MonotonicNs();
    runs::StartRecThread(dialog, std::move(job), view, [&ended](runs::RecThread::End) { ended.set_value(); });
    ended.get_future().wait();
    dialog.Close();
    return true;
}

}  // namespace bench
