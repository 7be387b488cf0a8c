// The programming list: address arithmetic, add, drop, delete, extent.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <ctime>

#include "commands/list_commands.h"
#include "list_test_support.h"
#include "list/programming_list.h"

using namespace list;

namespace {

files::ChipProfile Chip(int32_t lowest = 0, int32_t capacity = 100000, int32_t scale = 1) {
    files::ChipProfile c;
    c.step = 125;
    c.lastAddress = 0x9F;
    c.scale = scale;
    c.lowest = lowest;
    c.capacity = capacity;
    return c;
}

FileFacts Facts(const std::string& name, int32_t ms) {
    return FileFacts{name, "1KB", ".wav", "2026-12-07 14:03:22", "/snd/" + name, ms};
}

// Start, end, name of a row.
std::string Row(const ProgrammingList& l, int r) {
    return l.Cell(r, kColRow) + "|" + l.Cell(r, kColStart) + "|" + l.Cell(r, kColEnd) + "|" + l.Cell(r, kColName);
}

ProgrammingList ThreeSegments(const files::ChipProfile& chip) {
    ProgrammingList l;
    EXPECT_EQ(AppendAuto(l, Facts("a.wav", 1000), chip, nullptr), kListOk);
    EXPECT_EQ(AppendAuto(l, Facts("b.wav", 1001), chip, nullptr), kListOk);
    EXPECT_EQ(AppendAuto(l, Facts("c.wav", 250), chip, nullptr), kListOk);
    return l;
}

}  // namespace

TEST(AddressMath, countsEndsAndNextStarts) {
    files::ChipProfile c = Chip();
    EXPECT_EQ(list::AddressCount(1000, 125), 8);
    EXPECT_EQ(list::AddressCount(1001, 125), 9);
    EXPECT_EQ(list::EndAddress(0, 1000, c), 7);
    EXPECT_EQ(list::NextStart(0, 1000, c), 8);
    EXPECT_EQ(list::EndAddress(0, 1001, c), 8);
    EXPECT_EQ(list::EndAddress(10, 0, c), 9);  // length 0: A*K - 1
    // The scale multiplies the start only when the end is formed.
    c.scale = 2;
    EXPECT_EQ(list::EndAddress(5, 1000, c), 17);
    EXPECT_EQ(list::NextStart(5, 1000, c), 13);
    // A damaged table with step 0 must not divide by zero.
    EXPECT_EQ(list::AddressCount(7, 0), 7);
    EXPECT_EQ(list::Text(10), "0X000A");
    EXPECT_EQ(list::Text(0x12345), "0X12345");
    EXPECT_EQ(list::Text(-1), "0XFFFFFFFF");
}

TEST(AppendAuto, chainsSegmentsFromTheLowestAddress) {
    files::ChipProfile chip = Chip(16);
    ProgrammingList l = ThreeSegments(chip);
    EXPECT_EQ(Row(l, 1), "1|0X0010|0X0017|a.wav");
    EXPECT_EQ(Row(l, 2), "2|0X0018|0X0020|b.wav");
    EXPECT_EQ(Row(l, 3), "3|0X0021|0X0022|c.wav");
    EXPECT_EQ(l.Cell(1, kColFlag), "1");
    EXPECT_EQ(l.Cell(1, kColFlagText), "是");
    EXPECT_EQ(l.Cell(1, kColLength), "1000");
    EXPECT_EQ(l.Cell(1, kColPath), "/snd/a.wav");
    EXPECT_EQ(l.Cell(1, kColShownPath), "/snd/a.wav");
    EXPECT_EQ(l.UsedCount(), 3);
}

TEST(AppendAuto, lastRowAtZeroWithNoLengthRestartsAtLowest) {
    files::ChipProfile chip = Chip(16);
    ProgrammingList l;
    ASSERT_EQ(AppendAuto(l, Facts("silent.wav", 0), chip, nullptr), kListOk);
    l.SetCell(1, kColStart, "0X0000");
    ASSERT_EQ(AppendAuto(l, Facts("b.wav", 125), chip, nullptr), kListOk);
    EXPECT_EQ(Row(l, 2), "2|0X0010|0X0010|b.wav");
}

TEST(AppendAuto, refusesAFullListAndUnstorableNames) {
    files::ChipProfile chip = Chip();
    ProgrammingList l;
    for (int i = 0; i < kRows; ++i) ASSERT_EQ(AppendAuto(l, Facts("x.wav", 0), chip, nullptr), kListOk);
    EXPECT_EQ(l.FirstFree(), 0);
    ProgrammingList before = l;
    EXPECT_EQ(AppendAuto(l, Facts("y.wav", 0), chip, nullptr), kListFull);
    EXPECT_EQ(l.Cell(kRows, kColName), "x.wav");

    ProgrammingList e;
    EXPECT_EQ(AppendAuto(e, Facts("a,b.wav", 0), chip, nullptr), kListUnstorable);
    FileFacts f = Facts("ok.wav", 0);
    f.path = "/dir,x/ok.wav";
    EXPECT_EQ(AppendAuto(e, f, chip, nullptr), kListUnstorable);
    f.path = "/snd/smile\xF0\x9F\x98\x80.wav";  // no GBK form
    EXPECT_EQ(AppendAuto(e, f, chip, nullptr), kListUnstorable);
    EXPECT_EQ(e.UsedCount(), 0);
}

TEST(DeleteRow, firstOfThreeUnderAutoReaddressesFromLowest) {
    files::ChipProfile chip = Chip(16);
    ProgrammingList l = ThreeSegments(chip);
    ASSERT_EQ(DeleteRow(l, 1, true, chip, nullptr), kListOk);
    EXPECT_EQ(Row(l, 1), "1|0X0010|0X0018|b.wav");
    EXPECT_EQ(Row(l, 2), "2|0X0019|0X001A|c.wav");
    EXPECT_EQ(Row(l, 3), "|||");
    EXPECT_EQ(l.Cell(3, kColPath), "");
    EXPECT_EQ(l.UsedCount(), 2);
}

TEST(DeleteRow, middleRowUnderAutoFollowsTheRowAbove) {
    files::ChipProfile chip = Chip();
    ProgrammingList l = ThreeSegments(chip);
    ASSERT_EQ(DeleteRow(l, 2, true, chip, nullptr), kListOk);
    EXPECT_EQ(Row(l, 1), "1|0X0000|0X0007|a.wav");
    EXPECT_EQ(Row(l, 2), "2|0X0008|0X0009|c.wav");
}

TEST(DeleteRow, withoutAutoKeepsAddressesAndNumbers) {
    files::ChipProfile chip = Chip();
    ProgrammingList l = ThreeSegments(chip);
    ASSERT_EQ(DeleteRow(l, 1, false, chip, nullptr), kListOk);
    EXPECT_EQ(Row(l, 1), "1|0X0008|0X0010|b.wav");
    EXPECT_EQ(Row(l, 2), "2|0X0011|0X0012|c.wav");
    EXPECT_FALSE(l.IsUsed(3));
    // The last row of a full list can go too.
    ProgrammingList full;
    for (int i = 0; i < kRows; ++i) AppendAuto(full, Facts("x.wav", 0), chip, nullptr);
    ASSERT_EQ(DeleteRow(full, kRows, true, chip, nullptr), kListOk);
    EXPECT_EQ(full.UsedCount(), kRows - 1);
}

TEST(DeleteRow, aDamagedLengthLeavesTheListUntouched) {
    files::ChipProfile chip = Chip();
    ProgrammingList l = ThreeSegments(chip);
    l.SetCell(3, kColLength, "abc");
    ProgrammingList before = l;
    std::string bad;
    EXPECT_EQ(DeleteRow(l, 1, true, chip, &bad), kListBadNumber);
    EXPECT_EQ(bad, "abc");
    for (int r = 1; r <= 3; ++r) EXPECT_EQ(Row(l, r), Row(before, r));
}

TEST(Extent, measuresFromLowestToTheLastRowsEnd) {
    files::ChipProfile chip = Chip(16);
    ProgrammingList l = ThreeSegments(chip);
    int64_t e = -1;
    ASSERT_EQ(ComputeExtent(l, chip, &e, nullptr), kListOk);
    EXPECT_EQ(e, (0x21 - 16) * 125 + 250);
    ProgrammingList empty;
    ASSERT_EQ(ComputeExtent(empty, chip, &e, nullptr), kListOk);
    EXPECT_EQ(e, 0);
}

TEST(Extent, capacityMessageOnlyAboveCapacity) {
    commands::Workspace w;
    w.chip = Chip(0, 1000);
    AppendAuto(w.list, Facts("a.wav", 1000), w.chip, nullptr);
    ScriptedPrompt ui{messages::MsgAnswer::No};
    EXPECT_TRUE(commands::RecomputeExtent(w, ui));
    EXPECT_EQ(w.extent, 1000);
    EXPECT_TRUE(ui.Boxes().empty());
    w.list.SetCell(1, kColLength, "1001");
    EXPECT_TRUE(commands::RecomputeExtent(w, ui));
    ASSERT_EQ(ui.Boxes().size(), 1u);
    EXPECT_EQ(ui.Boxes()[0].text, "编程文件总长度超过芯片容量,请修改！");
    EXPECT_EQ(ui.Boxes()[0].caption, "系统提示");
    EXPECT_EQ(ui.Boxes()[0].icon, messages::MsgIcon::Information);
    // A cell that does not convert: the conversion error, extent kept.
    w.list.SetCell(1, kColStart, "0Xzz");
    EXPECT_FALSE(commands::RecomputeExtent(w, ui));
    EXPECT_EQ(ui.Boxes().back().text, "'0Xzz' is not a valid integer value.");
    EXPECT_EQ(ui.Boxes().back().caption, "Sonmira");
    EXPECT_EQ(w.extent, 1001);
}

TEST(LookUpFile, sizeTypeTimeAndHiddenFiles) {
    TempDir d;
    WriteBytes(d / "Song.WAV", std::string(2000, 'x'));
    FileFacts f;
    ASSERT_TRUE(LookUpFile(
        d / "Song.WAV", [](const std::string&) { return Measured{1234}; }, &f));
    EXPECT_EQ(f.name, "Song.WAV");
    EXPECT_EQ(f.sizeText, "1KB");
    EXPECT_EQ(f.type, ".wav");
    EXPECT_EQ(f.path, d / "Song.WAV");
    EXPECT_EQ(f.lengthMs, 1234);
    WriteBytes(d / ".hidden.wav", "x");
    EXPECT_FALSE(LookUpFile(d / ".hidden.wav", nullptr, &f));
    EXPECT_FALSE(LookUpFile(d.path(), nullptr, &f));
    EXPECT_FALSE(LookUpFile(d / "missing.wav", nullptr, &f));
    EXPECT_EQ(LowerExtension("noext"), "");

    std::tm tm{};
    tm.tm_year = 126, tm.tm_mon = 11, tm.tm_mday = 7, tm.tm_hour = 14, tm.tm_min = 3, tm.tm_sec = 22;
    tm.tm_isdst = -1;
    EXPECT_EQ(TimeText(std::mktime(&tm)), "2026-12-07 14:03:22");
    tm.tm_hour = tm.tm_min = tm.tm_sec = 0;
    tm.tm_isdst = -1;
    EXPECT_EQ(TimeText(std::mktime(&tm)), "2026-12-07");
}

// Commands over the workspace.
class ListCommands : public ::testing::Test {
protected:
    void SetUp() override {
        w.chip = Chip(0, 100000);
        w.lengthOf = [](const std::string&) { return Measured{1000}; };
    }
    TempDir d;
    commands::Workspace w;
    ScriptedPrompt ui{messages::MsgAnswer::No};
};

TEST_F(ListCommands, dropWithoutExtensionTakesTheWavTwin) {
    WriteBytes(d / "song.wav", std::string(2000, 'x'));
    commands::BrowserItem item{d.path(), "song", 2, "2026-12-01 10:00:00"};
    ASSERT_EQ(commands::DropItem(w, ui, item, nullptr), kListOk);
    EXPECT_EQ(w.list.Cell(1, kColPath), d / "song.wav");
    EXPECT_EQ(w.list.Cell(1, kColName), "song");
    EXPECT_EQ(w.list.Cell(1, kColSize), "2KB");  // the browser's div 1000 figure
    EXPECT_EQ(w.list.Cell(1, kColTime), "2026-12-01 10:00:00");
    EXPECT_EQ(w.list.Cell(1, kColEnd), "0X0007");
    EXPECT_TRUE(w.modified);
    EXPECT_TRUE(ui.Boxes().empty());

    // No twin: ignored without a message; a MIDI file is taken as it is.
    EXPECT_EQ(commands::DropItem(w, ui, commands::BrowserItem{d.path(), "other", 1, ""}, nullptr), kListIgnored);
    WriteBytes(d / "tune.mid", "MThd");
    EXPECT_EQ(commands::DropItem(w, ui, commands::BrowserItem{d.path() + "/", "tune.mid", 1, ""}, nullptr), kListOk);
    EXPECT_EQ(w.list.Cell(2, kColType), ".mid");
    EXPECT_TRUE(ui.Boxes().empty());

    EXPECT_EQ(commands::DropItem(w, ui, std::nullopt, nullptr), kListNoSelection);
    ASSERT_EQ(ui.Boxes().size(), 1u);
    EXPECT_EQ(ui.Boxes()[0].text, "对不起，系统出错！");
    EXPECT_EQ(ui.Boxes()[0].caption, "系统提示");
}

TEST_F(ListCommands, aFileWithoutALengthIsRefusedByAddAndDrop) {
    audio::CMyMediaPlayer player;
    w.lengthOf = commands::LengthThroughPlayer(player);
    WriteBytes(d / "zero.wav", "");
    EXPECT_EQ(commands::AddFile(w, ui, d / "zero.wav", nullptr), kListUnmeasurable);
    EXPECT_EQ(commands::DropItem(w, ui, commands::BrowserItem{d.path(), "zero.wav", 0, "t"}, nullptr),
              kListUnmeasurable);
    const std::string text = "测不出'zero.wav'的播放长度，不能加入编程列表！\n不是能够解码的音频文件";
    EXPECT_EQ(ui.Texts(), (std::vector<std::string>{text, text}));
    EXPECT_EQ(ui.Boxes()[0].caption, "提示信息");
    EXPECT_EQ(ui.Boxes()[0].icon, messages::MsgIcon::Information);
    EXPECT_EQ(w.list.UsedCount(), 0);
    EXPECT_FALSE(w.modified);

    // A file that decodes to no samples at all says so.
    w.lengthOf = [](const std::string&) { return Measured{0, 0}; };
    ui.Clear();
    EXPECT_EQ(commands::AddFile(w, ui, d / "zero.wav", nullptr), kListUnmeasurable);
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{
                              "测不出'zero.wav'的播放长度，不能加入编程列表！\n文件中没有声音（长度为0毫秒）"});
}

TEST_F(ListCommands, addRefusesFullListsAndCommasWithAMessage) {
    WriteBytes(d / "a,b.wav", "x");
    EXPECT_EQ(commands::AddFile(w, ui, d / "a,b.wav", nullptr), kListUnstorable);
    ASSERT_EQ(ui.Boxes().size(), 1u);
    EXPECT_EQ(ui.Boxes()[0].text, "文件名称或路径中含有逗号等无法保存的字符，不能加入编程列表！");
    EXPECT_EQ(ui.Boxes()[0].caption, "提示信息");
    EXPECT_FALSE(w.modified);

    WriteBytes(d / "a.wav", "x");
    w.chip.capacity = kRows * 1000;
    for (int i = 0; i < kRows; ++i) ASSERT_EQ(commands::AddFile(w, ui, d / "a.wav", nullptr), kListOk);
    w.modified = false;
    EXPECT_EQ(commands::AddFile(w, ui, d / "a.wav", nullptr), kListFull);
    EXPECT_EQ(ui.Boxes().back().text, "编程列表已满，最多只能有160个语音文件！");
    EXPECT_FALSE(w.modified);
    // Missing file: nothing, no message.
    size_t n = ui.Boxes().size();
    EXPECT_EQ(commands::AddFile(w, ui, d / "nope.wav", nullptr), kListFileNotFound);
    EXPECT_EQ(ui.Boxes().size(), n);
}

TEST_F(ListCommands, manualAddingOpensTheFormAndMarksEvenWhenCancelled) {
    w.autoAddressing = false;
    WriteBytes(d / "a.wav", std::string(2048, 'x'));
    list::SegmentForm seen;
    ASSERT_EQ(commands::AddFile(w, ui, d / "a.wav",
                                [&](list::SegmentForm& f) {
                                    seen = f;
                                    return false;
                                }),
              kListOk);
    EXPECT_EQ(seen.mode, list::Mode::Add);
    EXPECT_EQ(seen.address, "");
    EXPECT_FALSE(seen.program);
    EXPECT_EQ(seen.playTime, "1000 MS");
    EXPECT_EQ(seen.sizeText, "2KB");
    EXPECT_EQ(seen.upper_limit, 0x9F);
    EXPECT_EQ(w.list.UsedCount(), 0);
    EXPECT_TRUE(w.modified);
}

TEST_F(ListCommands, deleteAsksWithTheNameAndNoKeepsTheRow) {
    AppendAuto(w.list, Facts("歌曲.wav", 1000), w.chip, nullptr);
    ui.answers = {messages::MsgAnswer::No, messages::MsgAnswer::Yes};
    EXPECT_FALSE(commands::DeleteSegment(w, ui, 1));
    EXPECT_EQ(ui.Boxes()[0].text, "是否删除 '歌曲.wav' ?");
    EXPECT_EQ(ui.Boxes()[0].caption, "提示信息");
    EXPECT_EQ(ui.Boxes()[0].icon, messages::MsgIcon::Question);
    EXPECT_EQ(ui.Boxes()[0].buttons, messages::MsgButtons::YesNo);
    EXPECT_EQ(w.list.UsedCount(), 1);
    EXPECT_TRUE(commands::DeleteSegment(w, ui, 1));
    EXPECT_EQ(w.list.UsedCount(), 0);
    EXPECT_TRUE(w.modified);
    EXPECT_FALSE(commands::DeleteSegment(w, ui, 1));  // free row: nothing, no question
    EXPECT_EQ(ui.Boxes().size(), 2u);

    commands::EditSegment(w, ui, 1, nullptr);
    EXPECT_EQ(ui.Boxes().back().text, "没有语音文件！");
    EXPECT_EQ(ui.Boxes().back().caption, "提示信息");
}
