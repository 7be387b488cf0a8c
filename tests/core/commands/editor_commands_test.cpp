// The external editor: its two settings over a real configuration file, the
// rule for a picked program, and the edit command starting a real program.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "commands/editor_commands.h"
#include "scripted_prompt.h"
#include "test_files.h"
#include "text/text_codec.h"

using namespace test_support;

namespace {

class EditorCommandsTest : public ::testing::Test {
protected:
    void StartWith(const std::string& ini) {
        WriteBytes(d / "Sonmira.INI", text::ToGbk(ini));
        w.bindDrivers = false;
        commands::StartUp(w, std::make_unique<files::CIniFile>(d / "Sonmira.INI"), d.path() + "/", d / "sound.dat", ui);
    }
    // A program that writes its argument count and arguments, one a line, to `out`.
    std::string ArgumentWriter(const std::string& name, const std::string& out) {
        const std::string path = d / name;
        WriteBytes(path, "#!/bin/sh\n{ echo \"$#\"; for a in \"$@\"; do printf '%s\\n' \"$a\"; done; } > '" + out +
                             ".part' && mv '" + out + ".part' '" + out + "'\n");
        chmod(path.c_str(), 0755);
        return path;
    }
    // The file once it exists; a generous bound only against a hang.
    static std::string WaitForFile(const std::string& path) {
        for (int i = 0; i < 600 && access(path.c_str(), F_OK) != 0; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        return ReadBytes(path);
    }

    TempDir d;
    ScriptedPrompt ui{messages::MsgAnswer::Ok};
    commands::Workspace w;
};

}  // namespace

TEST_F(EditorCommandsTest, settingsStartFromTheConfigurationAndOkWritesBothKeys) {
    StartWith("[Option]\r\nEDIT=1\r\nEditPath=/opt/编辑 器/wave\r\n");
    commands::EditorSettings s = commands::SettingsDialogStart(w);
    EXPECT_TRUE(s.enabled);
    EXPECT_EQ(s.path, "/opt/编辑 器/wave");

    // Unticked: false and an empty path, whatever the box still shows.
    commands::ApplySettingsOk(w, {false, "/opt/other"});
    EXPECT_FALSE(w.editorEnabled);
    EXPECT_EQ(w.editorPath, "");
    EXPECT_EQ(ReadBytes(d / "Sonmira.INI"), "[Option]\r\nEDIT=0\r\nEditPath=\r\n");

    commands::ApplySettingsOk(w, {true, "/usr/bin/audacity"});
    EXPECT_TRUE(w.editorEnabled);
    EXPECT_EQ(w.editorPath, "/usr/bin/audacity");
    EXPECT_EQ(ReadBytes(d / "Sonmira.INI"), "[Option]\r\nEDIT=1\r\nEditPath=/usr/bin/audacity\r\n");
    EXPECT_TRUE(ui.Boxes().empty());
}

TEST_F(EditorCommandsTest, missingKeysMeanNoEditor) {
    StartWith("[Option]\r\nAUTO=1\r\n");
    EXPECT_FALSE(w.editorEnabled);
    EXPECT_EQ(w.editorPath, "");
}

TEST_F(EditorCommandsTest, aPickedProgramIsAnExeOrAnExecutableFile) {
    EXPECT_TRUE(commands::AcceptEditorPick("/mnt/c/Tools/ED.EXE"));
    EXPECT_TRUE(commands::AcceptEditorPick("/mnt/c/Tools/ed.Exe"));
    WriteBytes(d / "ed.com", "x");
    EXPECT_FALSE(commands::AcceptEditorPick(d / "ed.com"));
    WriteBytes(d / "wave-editor", "#!/bin/sh\n");
    EXPECT_FALSE(commands::AcceptEditorPick(d / "wave-editor"));
    chmod((d / "wave-editor").c_str(), 0755);
    EXPECT_TRUE(commands::AcceptEditorPick(d / "wave-editor"));
    EXPECT_FALSE(commands::AcceptEditorPick(d.path()));  // a folder is searchable, not a program
    EXPECT_FALSE(commands::AcceptEditorPick(d / "missing"));
    EXPECT_FALSE(commands::AcceptEditorPick("/x.exe/editor"));
}

TEST_F(EditorCommandsTest, theEditorGetsTheFilePathAsItsOneArgument) {
    StartWith("");
    const std::string out = d / "argv.txt";
    w.editorPath = ArgumentWriter("my editor;$(touch x) 'q'.sh", out);
    const std::string file = "/voice/a b;touch pwned `id` $(id) \"q\" 'r' | > & *.wav";
    w.list.SetCell(3, list::kColRow, "3");
    w.list.SetCell(3, list::kColPath, file);

    commands::RunEditCommand(w, ui, 3);
    EXPECT_EQ(WaitForFile(out), "1\n" + file + "\n");
    EXPECT_TRUE(ui.Boxes().empty());
    EXPECT_NE(access((d / "x").c_str(), F_OK), 0);
}

TEST_F(EditorCommandsTest, nothingToStartShowsNothing) {
    StartWith("");
    w.list.SetCell(1, list::kColRow, "1");
    w.list.SetCell(1, list::kColPath, "/voice/a.wav");
    commands::RunEditCommand(w, ui, 1);  // editing not allowed: no program named
    w.editorPath = d / "no such editor";
    commands::RunEditCommand(w, ui, 1);  // a program that cannot start is not reported
    EXPECT_EQ(commands::LaunchDetached(w.editorPath, "/voice/a.wav"), commands::LaunchResult::NotStarted);
    WriteBytes(d / "not runnable", "x");
    EXPECT_EQ(commands::LaunchDetached(d / "not runnable", "/voice/a.wav"), commands::LaunchResult::NotStarted);
    EXPECT_TRUE(ui.Boxes().empty());
}
