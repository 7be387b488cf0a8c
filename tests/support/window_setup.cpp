#include "window_setup.h"

namespace test_support {

void CopyInstallData(const TempDir& home, std::initializer_list<const char*> names) {
    for (const char* f : names) std::filesystem::copy_file(std::string(SONMIRA_OUT_DIR "/") + f, home / f);
}

MainFormSetup WindowSetup(const TempDir& home, messages::IUserPrompt* prompt, audio::IMixer* mixer) {
    MainFormSetup setup;
    setup.configPath = home / "Sonmira.INI";
    setup.programDir = home.path() + "/";
    setup.chipTablePath = home / "sound.dat";
    setup.prompt = prompt;
    setup.mixer = mixer;
    return setup;
}

std::unique_ptr<TMainForm> ShowDownloadWindow(const TempDir& home, messages::IUserPrompt* prompt, audio::IMixer* mixer,
                                              TFrmwWait** wait) {
    MainFormSetup setup = WindowSetup(home, prompt, mixer);
    FileDialogs d;
    d.openProject = [&home] { return std::optional<std::string>(home / "p.QWF"); };
    setup.dialogs = d;
    auto form = std::make_unique<TMainForm>(setup);
    *wait = new TFrmwWait(form.get(), prompt);
    RunDialogs dialogs;
    dialogs.frmwWait = *wait;
    form->AttachRunDialogs(dialogs);
    form->show();
    return form;
}

bool WriteToneProject(const TempDir& home, const std::string& header,
                      const std::vector<std::tuple<bool, int, int>>& rows, int tone_ms) {
    std::string text;
    int n = 1;
    for (const auto& [marked, start, ms] : rows) {
        const std::string wav = home / (std::to_string(n) + ".wav");
        if (!rig::MakeTone(wav, tone_ms ? tone_ms : ms, 440)) return false;
        char line[400];
        std::snprintf(line, sizeof line, "%d,%s,0X%04X,0X%04X,%d.wav,%d,1KB,.wav,t,%s,%s,\r\n", marked ? 1 : 0,
                      marked ? "\xca\xc7" : "\xb7\xf1", start, start + (ms + 124) / 125 - 1, n, ms, wav.c_str(),
                      wav.c_str());
        text += line;
        ++n;
    }
    WriteBytes(home / "p.QWF", header + text);
    return true;
}

}  // namespace test_support
