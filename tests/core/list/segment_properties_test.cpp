// The segment properties dialog's logic: key filter, address checks, add and
// edit mode with re-addressing.
#include <gtest/gtest.h>

#include "commands/list_commands.h"
#include "list_test_support.h"
#include "list/segment_properties.h"

using namespace list;
using list::OkResult;

namespace {

files::ChipProfile Chip() {
    files::ChipProfile c;
    c.step = 125;
    c.lastAddress = 0x9F;
    return c;
}

ProgrammingList Four(const files::ChipProfile& chip) {
    ProgrammingList l;
    for (const char* n : {"a.wav", "b.wav", "c.wav", "d.wav"})
        AppendAuto(l, FileFacts{n, "1KB", ".wav", "t", std::string("/s/") + n, 1000}, chip, nullptr);
    return l;
}

std::string Addr(const ProgrammingList& l, int r) { return l.Cell(r, kColStart) + "-" + l.Cell(r, kColEnd); }

list::SegmentForm EditForm(const ProgrammingList& l, int row, bool auto_on) {
    list::SegmentForm f;
    std::string bad;
    EXPECT_TRUE(list::FormForEdit(l, row, 0x9F, auto_on, &f, &bad));
    return f;
}

}  // namespace

TEST(AddressKeys, onlyHexDigitsAndBackspacePass) {
    for (int k : std::initializer_list<int>{'0', '9', 'A', 'F', 'a', 'f', 8})
        EXPECT_TRUE(list::AcceptAddressKey(k)) << k;
    for (int k : std::initializer_list<int>{'G', 'g', 'x', ' ', '-', '$', 0, 127, 0x4E00})
        EXPECT_FALSE(list::AcceptAddressKey(k)) << k;
}

TEST(PropertiesOk, addressChecksKeepTheDialogOpen) {
    files::ChipProfile chip = Chip();
    ProgrammingList l;
    ScriptedPrompt ui{messages::MsgAnswer::No};
    list::SegmentForm f = list::FormForAdd(FileFacts{"a.wav", "1KB", ".wav", "t", "/s/a.wav", 1000}, 0x9F);

    f.address = "   ";
    EXPECT_EQ(list::PressOk(f, l, chip, ui), OkResult::KeepOpen);
    f.address = "A0";
    EXPECT_EQ(list::PressOk(f, l, chip, ui), OkResult::KeepOpen);
    f.address = "zz";
    EXPECT_EQ(list::PressOk(f, l, chip, ui), OkResult::KeepOpen);
    ASSERT_EQ(ui.Boxes().size(), 3u);
    EXPECT_EQ(ui.Boxes()[0].text, "请输入编程地址！");
    EXPECT_EQ(ui.Boxes()[0].caption, "提示信息");
    EXPECT_EQ(ui.Boxes()[1].text, "输入的编程地址超出范围,请重新输入！");
    EXPECT_EQ(ui.Boxes()[1].caption, "提示信息");
    EXPECT_EQ(ui.Boxes()[2].text, "'$zz' is not a valid integer value.");
    EXPECT_EQ(ui.Boxes()[2].caption, "Sonmira");
    EXPECT_EQ(l.UsedCount(), 0);

    f.address = "9F";
    EXPECT_EQ(list::PressOk(f, l, chip, ui), OkResult::Accepted);
    EXPECT_EQ(Addr(l, 1), "0X009F-0X00A6");
    // PCheck left cleared: not programmed.
    EXPECT_EQ(l.Cell(1, kColFlag), "0");
    EXPECT_EQ(l.Cell(1, kColFlagText), "否");
    EXPECT_EQ(l.Cell(1, kColRow), "1");

    f.address = " 1a ";
    f.program = true;
    EXPECT_EQ(list::PressOk(f, l, chip, ui), OkResult::Accepted);
    EXPECT_EQ(Addr(l, 2), "0X001A-0X0021");
    EXPECT_EQ(l.Cell(2, kColFlagText), "是");
    EXPECT_EQ(ui.Boxes().size(), 3u);
}

TEST(PropertiesOk, editUnderAutoReaddressesTheFollowingRowsOnly) {
    files::ChipProfile chip = Chip();
    ProgrammingList l = Four(chip);
    ScriptedPrompt ui{messages::MsgAnswer::No};
    list::SegmentForm f = EditForm(l, 2, true);
    EXPECT_EQ(f.address, "0008");
    EXPECT_TRUE(f.program);
    EXPECT_EQ(f.playTime, "1000 MS");
    f.address = "20";
    ASSERT_EQ(list::PressOk(f, l, chip, ui), OkResult::Accepted);
    EXPECT_EQ(Addr(l, 1), "0X0000-0X0007");
    EXPECT_EQ(Addr(l, 2), "0X0020-0X0027");
    EXPECT_EQ(Addr(l, 3), "0X0028-0X002F");
    EXPECT_EQ(Addr(l, 4), "0X0030-0X0037");
    EXPECT_EQ(l.Cell(2, kColRow), "2");
    EXPECT_EQ(l.UsedCount(), 4);
}

TEST(PropertiesOk, editWithoutAutoChangesThatRowAlone) {
    files::ChipProfile chip = Chip();
    ProgrammingList l = Four(chip);
    ScriptedPrompt ui{messages::MsgAnswer::No};
    list::SegmentForm f = EditForm(l, 2, false);
    f.address = "20";
    f.program = false;
    ASSERT_EQ(list::PressOk(f, l, chip, ui), OkResult::Accepted);
    EXPECT_EQ(Addr(l, 2), "0X0020-0X0027");
    EXPECT_EQ(l.Cell(2, kColFlag), "0");
    EXPECT_EQ(Addr(l, 3), "0X0010-0X0017");
}

TEST(PropertiesOk, editPutsTheFullPathBackOverDeletedMark) {
    files::ChipProfile chip = Chip();
    commands::Workspace w;
    w.chip = chip;
    w.list = Four(chip);
    w.list.SetCell(1, kColShownPath, kFileDeleted);
    ScriptedPrompt ui{messages::MsgAnswer::No};
    list::SegmentForm f = EditForm(w.list, 1, true);
    EXPECT_EQ(commands::PropertiesOk(w, f, ui), OkResult::Accepted);
    EXPECT_EQ(w.list.Cell(1, kColShownPath), "/s/a.wav");
    EXPECT_TRUE(w.modified);
}

TEST(PropertiesOk, addModeOnAFullListIsRefused) {
    files::ChipProfile chip = Chip();
    ProgrammingList l;
    for (int i = 0; i < kRows; ++i) AppendAuto(l, FileFacts{"x", "", "", "", "/x", 0}, chip, nullptr);
    ScriptedPrompt ui{messages::MsgAnswer::No};
    list::SegmentForm f = list::FormForAdd(FileFacts{"a.wav", "", "", "", "/a.wav", 0}, 0x9F);
    f.address = "1";
    EXPECT_EQ(list::PressOk(f, l, chip, ui), OkResult::Refused);
    EXPECT_EQ(ui.Boxes().back().text, "编程列表已满，最多只能有160个语音文件！");
    EXPECT_EQ(l.Cell(kRows, kColName), "x");
}
