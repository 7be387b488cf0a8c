// The workspace over a real configuration and chip table: start-up,
// programmer and chip changes, and New/Open/Save/Save As/exit.
#include <gtest/gtest.h>

#include <algorithm>

#include "files/config.h"
#include "list_test_support.h"
#include "commands/project_commands.h"
#include "list/project_file.h"
#include "text/text_codec.h"
#include "commands/workspace.h"

using namespace list;

namespace {

const char* kIni =
    "[Option]\r\nComProgram=1\r\nComChip=0\r\nAUTO=0\r\n"
    "[Device]\r\n0=SM-1\r\n1=声芯编程器\r\n"
    "[SM-1]\r\n0=A1\r\nFile=\r\n"
    "[声芯编程器]\r\n0=SV020A\r\n1=SV040A\r\nFile=libnothere.so\r\n";

const char* kTable =
    "code,name,step,last,scale,lowest,capacity,\r\n"
    "1,SV020A,125,159,1,16,20000,\r\n"
    "2,SV040A,250,319,2,0,80000,\r\n"
    "3,A1,100,99,1,0,9900,\r\n";

std::string Project(const std::string& programmer, const std::string& chip, const std::string& rows) {
    return text::ToGbk("V1.0,20261207,wendaloprist," + programmer + "," + chip + ",\r\n" + rows);
}

const char* kTwoRows =
    "1,是,0X0000,0X0009,a.wav,1000,1KB,.wav,t,/x/a.wav,/x/a.wav,\r\n"
    "0,否,0X000A,0X0013,b.wav,1000,1KB,.wav,t,/x/b.wav,/x/b.wav,\r\n";

class WorkspaceTest : public ::testing::Test {
protected:
    void SetUp() override {
        WriteBytes(d / "Sonmira.INI", text::ToGbk(kIni));
        WriteBytes(d / "sound.dat", kTable);
        w.restoreVolume = [this] { ++volume_restored; };
        commands::StartUp(w, std::make_unique<files::CIniFile>(d / "Sonmira.INI"), d.path() + "/", d / "sound.dat", ui);
    }
    // A Save As dialog that must not be shown.
    static std::optional<std::string> NoDialog(const std::string&) {
        ADD_FAILURE() << "save dialog shown";
        return std::nullopt;
    }
    void AddRow(const std::string& name) {
        FileFacts f{name, "1KB", ".wav", "t", "/x/" + name, 500};
        ASSERT_EQ(AppendAuto(w.list, f, w.chip, nullptr), kListOk);
        w.modified = true;
    }

    TempDir d;
    ScriptedPrompt ui{messages::MsgAnswer::No};
    commands::Workspace w;
    int volume_restored = 0;
};

}  // namespace

TEST_F(WorkspaceTest, startUpRestoresChoicesAndReportsAMissingLibrary) {
    EXPECT_FALSE(w.autoAddressing);
    ASSERT_EQ(w.programmers.size(), 2u);
    EXPECT_EQ(commands::ProgrammerName(w), "声芯编程器");
    EXPECT_EQ(w.chips, (std::vector<std::string>{"SV020A", "SV040A"}));
    EXPECT_EQ(commands::ChipName(w), "SV020A");
    EXPECT_EQ(w.chip.code, 1);
    EXPECT_EQ(w.chip.lowest, 16);
    EXPECT_EQ(w.chip.capacity, 20000);
    ASSERT_EQ(ui.Boxes().size(), 1u);
    EXPECT_EQ(ui.Boxes()[0].text,
              "libnothere.so文件没有找到！\nlibnothere.so: cannot open shared object file: No such file or directory");
    EXPECT_EQ(ui.Boxes()[0].caption, "信息提示");
    EXPECT_FALSE(w.drivers.IsBound());

    // Another programmer: its chips, the last one selected, its profile.
    commands::SelectProgrammer(w, 0, ui);
    EXPECT_EQ(w.chips, std::vector<std::string>{"A1"});
    EXPECT_EQ(w.chip.step, 100);
    EXPECT_EQ(ui.Boxes().size(), 1u);  // no File: nothing to tell
    commands::SelectChip(w, 5, ui);    // no such entry: empty name, no line matches
    EXPECT_EQ(commands::ChipName(w), "");

    commands::SetAutoAddressing(w, true);
    EXPECT_TRUE(files::ReadStartSettings(*w.config).autoAddressing);
}

TEST_F(WorkspaceTest, openReplacesTheListAndSelectsTheHeadersChoices) {
    for (const char* n : {"x.wav", "y.wav", "z.wav"}) AddRow(n);
    WriteBytes(d / "p.QWF", Project("SM-1", "A1", kTwoRows));
    ASSERT_TRUE(commands::OpenProject(w, ui, d / "p.QWF"));
    EXPECT_EQ(w.list.UsedCount(), 2);
    EXPECT_EQ(w.list.Cell(3, kColName), "");  // nothing left of the old list
    EXPECT_EQ(commands::ProgrammerName(w), "SM-1");
    EXPECT_EQ(commands::ChipName(w), "A1");
    EXPECT_EQ(w.chip.step, 100);
    EXPECT_EQ(w.extent, 10 * 100 + 1000);
    EXPECT_TRUE(w.bound);
    EXPECT_FALSE(w.modified);
    EXPECT_EQ(w.list.Cell(1, kColShownPath), "文件已删除");

    // Names the configuration does not offer: the last entries.
    WriteBytes(d / "q.QWF", Project("other", "nope", ""));
    ASSERT_TRUE(commands::OpenProject(w, ui, d / "q.QWF"));
    EXPECT_EQ(commands::ProgrammerName(w), "声芯编程器");
    EXPECT_EQ(commands::ChipName(w), "SV040A");
}

TEST_F(WorkspaceTest, openFailuresKeepOrProtectTheList) {
    ui.Clear();
    AddRow("keep.wav");
    EXPECT_FALSE(commands::OpenProject(w, ui, d / "missing.QWF"));
    ASSERT_EQ(ui.Boxes().size(), 1u);
    EXPECT_EQ(ui.Boxes()[0].text, "打开QWF数据文件失败！");
    EXPECT_EQ(ui.Boxes()[0].caption, "提示信息");
    EXPECT_EQ(w.list.Cell(1, kColName), "keep.wav");
    EXPECT_FALSE(w.bound);

    WriteBytes(d / "bad.QWF", Project("SM-1", "A1", std::string(kTwoRows) + "x,是,0X1,\r\n"));
    WriteBytes(d / "good.QWF", Project("SM-1", "A1", kTwoRows));
    ASSERT_TRUE(commands::OpenProject(w, ui, d / "good.QWF"));
    EXPECT_FALSE(commands::OpenProject(w, ui, d / "bad.QWF"));
    EXPECT_EQ(ui.Boxes().back().text, "'x' is not a valid integer value.");
    EXPECT_EQ(w.list.UsedCount(), 2);
    // Unbound, so Save cannot put the partial list over good.QWF unasked.
    EXPECT_FALSE(w.bound);
    EXPECT_TRUE(w.modified);

    // A file read only in part (LF line ends) is shown, but Save asks for a name.
    std::string lf = Project("SM-1", "A1", kTwoRows);
    lf.erase(std::remove(lf.begin(), lf.end(), '\r'), lf.end());
    WriteBytes(d / "lf.QWF", lf);
    ui.Clear();
    ASSERT_TRUE(commands::OpenProject(w, ui, d / "lf.QWF"));
    ASSERT_EQ(ui.Boxes().size(), 1u);
    EXPECT_EQ(ui.Boxes()[0].text,
              "'lf.QWF'不是完整的QWF数据文件，只读入了能读出的部分，保存时请另选文件名！\n有的行以LF结束，缺少CR");
    EXPECT_EQ(ui.Boxes()[0].caption, "提示信息");
    EXPECT_EQ(ui.Boxes()[0].icon, messages::MsgIcon::Information);
    EXPECT_FALSE(w.bound);
    EXPECT_EQ(w.projectPath, "");
    EXPECT_EQ(commands::ProgrammerName(w), "SM-1");
    bool asked = false;
    EXPECT_FALSE(commands::SaveProject(w, ui, [&](const std::string&) -> std::optional<std::string> {
        asked = true;
        return std::nullopt;
    }));
    EXPECT_TRUE(asked);
    EXPECT_EQ(ReadBytes(d / "lf.QWF"), lf);
}

TEST_F(WorkspaceTest, aCutFileIsToldAndOneWithoutAHeaderChangesNothing) {
    const std::string whole = Project("SM-1", "A1", kTwoRows);
    WriteBytes(d / "cut.QWF", whole.substr(0, whole.size() - 20));
    ui.Clear();
    ASSERT_TRUE(commands::OpenProject(w, ui, d / "cut.QWF"));
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{"'cut.QWF'不是完整的QWF数据文件，只读入了能读出的部分，保存时请另选"
                                                   "文件名！\n最后一行没有以CR LF结束，文件可能被截断了"});
    EXPECT_EQ(w.list.UsedCount(), 1);
    EXPECT_FALSE(w.bound);

    // What a good open leaves must survive an empty file and random bytes.
    WriteBytes(d / "good.QWF", whole);
    ASSERT_TRUE(commands::OpenProject(w, ui, d / "good.QWF"));
    w.modified = true;
    const std::string programmer = commands::ProgrammerName(w), chip = commands::ChipName(w);
    WriteBytes(d / "empty.QWF", "");
    std::string noise;
    for (int i = 0; i < 4096; ++i) noise.push_back(static_cast<char>((i * 7919 + 13) % 251));
    WriteBytes(d / "noise.QWF", noise);
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"empty.QWF", "'empty.QWF'不是QWF数据文件，没有打开！\n文件是空的"},
        {"noise.QWF", "'noise.QWF'不是QWF数据文件，没有打开！\n文件开头没有QWF数据文件的文件头"},
    };
    for (const auto& [name, text] : cases) {
        ui.Clear();
        EXPECT_FALSE(commands::OpenProject(w, ui, d / name));
        EXPECT_EQ(ui.Texts(), std::vector<std::string>{text});
        EXPECT_EQ(ui.Boxes()[0].caption, "提示信息");
        EXPECT_EQ(w.list.UsedCount(), 2) << name;
        EXPECT_EQ(commands::ProgrammerName(w), programmer) << name;
        EXPECT_EQ(commands::ChipName(w), chip) << name;
        EXPECT_TRUE(w.bound) << name;
        EXPECT_EQ(w.projectPath, d / "good.QWF") << name;
        EXPECT_TRUE(w.modified) << name;
    }
}

TEST_F(WorkspaceTest, saveAfterOpenWritesBackWithoutADialog) {
    WriteBytes(d / "p.QWF", Project("SM-1", "A1", kTwoRows));
    ASSERT_TRUE(commands::OpenProject(w, ui, d / "p.QWF"));
    AddRow("c.wav");
    ASSERT_TRUE(commands::SaveProject(w, ui, NoDialog));
    EXPECT_FALSE(w.modified);
    ProgrammingList back;
    list::Header h;
    ASSERT_EQ(list::Read(d / "p.QWF", &back, &h, nullptr), list::kProjectOk);
    EXPECT_EQ(back.UsedCount(), 3);
    EXPECT_EQ(h.programmer, "SM-1");
    EXPECT_EQ(h.chip, "A1");
}

TEST_F(WorkspaceTest, saveAsProposesADatedNameAndAsksBeforeOverwriting) {
    AddRow("a.wav");
    WriteBytes(d / "QVold.QWF", "old");
    std::string proposed;
    auto dialog = [&](const std::string& p) -> std::optional<std::string> {
        proposed = p;
        return d / "QVold";  // no extension typed
    };
    ui.Clear();
    ui.answers = {messages::MsgAnswer::No};
    EXPECT_FALSE(commands::SaveProjectAs(w, ui, dialog));
    EXPECT_EQ(proposed, "QV" + list::Today());
    ASSERT_EQ(ui.Boxes().size(), 1u);
    EXPECT_EQ(ui.Boxes()[0].text, "文件已存在，是否覆盖？");
    EXPECT_EQ(ui.Boxes()[0].caption, "提示信息");
    EXPECT_EQ(ui.Boxes()[0].buttons, messages::MsgButtons::YesNo);
    EXPECT_EQ(ReadBytes(d / "QVold.QWF"), "old");
    EXPECT_FALSE(w.bound);

    ui.answers = {messages::MsgAnswer::Yes};
    EXPECT_TRUE(commands::SaveProjectAs(w, ui, dialog));
    EXPECT_EQ(w.projectPath, d / "QVold.QWF");
    EXPECT_TRUE(w.bound);
    EXPECT_FALSE(w.modified);
    EXPECT_NE(ReadBytes(d / "QVold.QWF"), "old");
}

TEST_F(WorkspaceTest, aFailedOrRefusedSaveIsReportedAndChangesNothing) {
    AddRow("a.wav");
    ASSERT_TRUE(commands::SaveProjectAs(w, ui, [&](const std::string&) { return d / "p.QWF"; }));
    std::string saved = ReadBytes(d / "p.QWF");
    AddRow("b.wav");
    ui.Clear();
    EXPECT_FALSE(commands::SaveProjectAs(w, ui, [&](const std::string&) { return d / "no/such/folder.QWF"; }));
    ASSERT_EQ(ui.Boxes().size(), 1u);
    EXPECT_EQ(ui.Boxes()[0].text, "保存QWF数据文件失败！");
    EXPECT_EQ(ui.Boxes()[0].caption, "提示信息");
    EXPECT_EQ(w.projectPath, d / "p.QWF");
    EXPECT_TRUE(w.modified);

    w.list.SetCell(2, kColName, "b,c.wav");
    EXPECT_FALSE(commands::SaveProject(w, ui, NoDialog));
    EXPECT_EQ(ui.Boxes().back().text, "编程列表中含有逗号等无法保存的字符，保存QWF数据文件失败！");
    EXPECT_EQ(ReadBytes(d / "p.QWF"), saved);
    EXPECT_TRUE(w.modified);
}

TEST_F(WorkspaceTest, newOffersToSaveAndKeepsTheListWhenThatFails) {
    AddRow("a.wav");
    ui.Clear();
    ui.answers = {messages::MsgAnswer::Yes};
    EXPECT_FALSE(commands::NewProject(w, ui, [](const std::string&) { return std::nullopt; }));
    EXPECT_EQ(ui.Boxes()[0].text, "是否保存所作的修改?");
    EXPECT_EQ(ui.Boxes()[0].caption, "提示信息");
    EXPECT_EQ(ui.Boxes()[0].icon, messages::MsgIcon::Question);
    EXPECT_EQ(w.list.UsedCount(), 1);

    w.bound = true;
    w.projectPath = d / "p.QWF";
    ui.answers = {messages::MsgAnswer::Cancel};  // Esc: the list stays
    EXPECT_FALSE(commands::NewProject(w, ui, NoDialog));
    EXPECT_EQ(w.list.UsedCount(), 1);

    ui.answers = {messages::MsgAnswer::No};
    EXPECT_TRUE(commands::NewProject(w, ui, NoDialog));
    EXPECT_EQ(w.list.UsedCount(), 0);
    EXPECT_EQ(w.list.Cell(1, kColPath), "");
    EXPECT_FALSE(w.bound);
    EXPECT_FALSE(w.modified);
    EXPECT_EQ(w.extent, 0);
}

TEST_F(WorkspaceTest, exitRoutineRunsOnceAndStoresTheChoices) {
    commands::SelectProgrammer(w, 0, ui);
    AddRow("a.wav");
    ui.Clear();
    // Yes, but the save cannot happen: the window stays open, nothing written.
    ui.answers = {messages::MsgAnswer::Yes};
    EXPECT_FALSE(commands::ExitRoutine(w, ui, [](const std::string&) { return std::nullopt; }));
    EXPECT_EQ(ui.Boxes()[0].text, "是否保存所作的修改？");
    EXPECT_EQ(ui.Boxes()[0].caption, "系统提示");
    EXPECT_EQ(volume_restored, 0);
    EXPECT_TRUE(w.config);
    ui.answers = {messages::MsgAnswer::Cancel};  // Esc: the window stays open with the list
    EXPECT_FALSE(commands::CloseMainWindow(w, ui, NoDialog));
    EXPECT_EQ(ui.Boxes()[1].buttons, messages::MsgButtons::YesNoCancel);
    EXPECT_EQ(volume_restored, 0);
    EXPECT_TRUE(w.config);
    EXPECT_EQ(w.list.UsedCount(), 1);

    ui.answers = {messages::MsgAnswer::No};
    EXPECT_TRUE(commands::CloseMainWindow(w, ui, NoDialog));
    EXPECT_EQ(volume_restored, 1);
    EXPECT_FALSE(w.config);
    files::StartSettings s = files::ReadStartSettings(files::CIniFile(d / "Sonmira.INI"));
    EXPECT_EQ(s.programmerIndex, 0);
    EXPECT_EQ(s.chipIndex, 0);
    size_t shown = ui.Boxes().size();
    EXPECT_TRUE(commands::ExitRoutine(w, ui, NoDialog));
    EXPECT_EQ(ui.Boxes().size(), shown);
    EXPECT_EQ(volume_restored, 1);
}
