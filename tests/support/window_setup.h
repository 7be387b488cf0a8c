// A program folder for a window test: copies of the installation's files,
// and the main window's set-up on them with the test's prompt and a mixer
// that is not the machine's.
#pragma once

#include <filesystem>
#include <cstdio>
#include <initializer_list>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "dialogs/run_progress_dialog.h"
#include "main_form.h"
#include "run_rig.h"
#include "test_files.h"

namespace test_support {

void CopyInstallData(const TempDir& home, std::initializer_list<const char*> names = {"Sonmira.INI", "sound.dat"});

MainFormSetup WindowSetup(const TempDir& home, messages::IUserPrompt* prompt, audio::IMixer* mixer);

// The main window on that set-up, shown, as a download needs it: its 打开
// command opens home/p.QWF and the run's progress dialog (*wait, owned by
// the window) is attached. The caller waits for it to be exposed.
std::unique_ptr<TMainForm> ShowDownloadWindow(const TempDir& home, messages::IUserPrompt* prompt, audio::IMixer* mixer,
                                              TFrmwWait** wait);

// Writes home/p.QWF with `header` and one row per (marked, start, length ms):
// row n plays n.wav, a 440 Hz tone of `tone_ms` (0: of the row's length).
bool WriteToneProject(const TempDir& home, const std::string& header,
                      const std::vector<std::tuple<bool, int, int>>& rows, int tone_ms = 0);

}  // namespace test_support
