// A program folder for a window test: copies of the installation's files,
// and the main window's set-up on them with the test's prompt and a mixer
// that is not the machine's.
#pragma once

#include <filesystem>
#include <initializer_list>

#include "main_form.h"
#include "test_files.h"

namespace test_support {

inline void CopyInstallData(const TempDir& home,
                            std::initializer_list<const char*> names = {"Sonmira.INI", "sound.dat"}) {
    for (const char* f : names) std::filesystem::copy_file(std::string(SONMIRA_OUT_DIR "/") + f, home / f);
}

inline MainFormSetup WindowSetup(const TempDir& home, IUserPrompt* prompt, audio::IMixer* mixer) {
    MainFormSetup setup;
    setup.configPath = home / "Sonmira.INI";
    setup.programDir = home.path() + "/";
    setup.chipTablePath = home / "sound.dat";
    setup.prompt = prompt;
    setup.mixer = mixer;
    return setup;
}

}  // namespace test_support
