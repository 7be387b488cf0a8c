// The project file: exact bytes, round trips, damaged files, write failures.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "list_test_support.h"
#include "list/project_file.h"

using namespace list;

namespace {

files::ChipProfile Chip() { return files::ChipProfile{}; }

const list::Header kHeader{"SM-1编程器", "SV020A"};
const std::string kHeaderBytes = "V1.0,20261207,wendaloprist,SM-1\xB1\xE0\xB3\xCC\xC6\xF7,SV020A,\r\n";

void Add(ProgrammingList& l, const std::string& name, const std::string& path, int32_t ms) {
    ASSERT_EQ(AppendAuto(l, FileFacts{name, "2KB", ".wav", "2026-12-07 14:03:22", path, ms}, Chip(), nullptr), kListOk);
}

list::Result ParseBytes(const std::string& bytes, ProgrammingList* l, list::Header* h = nullptr,
                        std::string* bad = nullptr) {
    list::Header unused;
    return list::Parse(bytes, l, h ? h : &unused, bad, [](const std::string& p) { return p.rfind("/here/", 0) == 0; });
}

}  // namespace

TEST(ProjectWrite, bytesAreGbkCommaTerminatedCrLf) {
    ProgrammingList l;
    Add(l, "歌.wav", "/here/歌.wav", 1000);
    l.SetCell(1, kColFlag, "0");
    l.SetCell(1, kColFlagText, kNo);
    std::string bytes;
    ASSERT_EQ(list::Build(l, kHeader, "20261207", &bytes, nullptr), list::kProjectOk);
    EXPECT_EQ(bytes, kHeaderBytes +
                         "0,\xB7\xF1,0X0000,0X0007,\xB8\xE8.wav,1000,2KB,.wav,2026-12-07 14:03:22,"
                         "/here/\xB8\xE8.wav,/here/\xB8\xE8.wav,\r\n");
    ProgrammingList empty;
    ASSERT_EQ(list::Build(empty, kHeader, "20261207", &bytes, nullptr), list::kProjectOk);
    EXPECT_EQ(bytes, kHeaderBytes);
}

TEST(ProjectWrite, refusesTextsThatWouldReadBackWrong) {
    TempDir d;
    WriteBytes(d / "p.QWF", "old");
    for (const char* bad : {"a,b.wav", "a\r\nb.wav", "a\nb.wav", "smile\xF0\x9F\x98\x80.wav"}) {
        ProgrammingList l;
        Add(l, "x.wav", "/here/x.wav", 0);
        l.SetCell(1, kColName, bad);
        std::string field;
        EXPECT_EQ(list::Write(d / "p.QWF", l, kHeader, "20261207", &field), list::kProjectUnstorable) << bad;
        EXPECT_EQ(field, bad);
    }
    ProgrammingList l;
    EXPECT_EQ(list::Write(d / "p.QWF", l, list::Header{"a,b", "c"}, "20261207"), list::kProjectUnstorable);
    EXPECT_EQ(ReadBytes(d / "p.QWF"), "old");
}

TEST(ProjectWrite, aFailedWriteKeepsTheOldFile) {
    TempDir d;
    ProgrammingList l;
    Add(l, "a.wav", "/here/a.wav", 1000);
    EXPECT_EQ(list::Write(d / "missing/p.QWF", l, kHeader, "20261207"), list::kProjectWriteFailed);
    std::filesystem::create_directory(d / "dir.QWF");
    EXPECT_EQ(list::Write(d / "dir.QWF", l, kHeader, "20261207"), list::kProjectWriteFailed);
    EXPECT_TRUE(std::filesystem::is_directory(d / "dir.QWF"));

    WriteBytes(d / "p.QWF", "old");
    ASSERT_EQ(::chmod(d.path().c_str(), 0555), 0);
    if (::geteuid() != 0) {  // root writes into read-only folders anyway
        EXPECT_EQ(list::Write(d / "p.QWF", l, kHeader, "20261207"), list::kProjectWriteFailed);
        EXPECT_EQ(ReadBytes(d / "p.QWF"), "old");
    }
    ::chmod(d.path().c_str(), 0755);
    // No temporary file is left behind.
    int entries = 0;
    for (auto& e : std::filesystem::directory_iterator(d.path())) entries += e.path().filename() != "dir.QWF";
    EXPECT_EQ(entries, 1);
}

TEST(ProjectRoundTrip, fullListWithLongPathsSurvives) {
    TempDir d;
    ProgrammingList l;
    std::string folder = "/here/" + std::string(300, 'd') + "/长路径";
    for (int i = 0; i < kRows; ++i)
        Add(l, "s" + std::to_string(i) + ".mp3", folder + "/s" + std::to_string(i) + ".mp3", 1000 + i);
    l.SetCell(7, kColFlag, "0");
    l.SetCell(7, kColFlagText, kNo);
    ASSERT_EQ(list::Write(d / "p.QWF", l, kHeader, list::Today()), list::kProjectOk);
    EXPECT_EQ(ReadBytes(d / "p.QWF").substr(0, 14), "V1.0," + list::Today() + ",");

    ProgrammingList back;
    list::Header h;
    ASSERT_EQ(ParseBytes(ReadBytes(d / "p.QWF"), &back, &h), list::kProjectOk);
    EXPECT_EQ(h.programmer, kHeader.programmer);
    EXPECT_EQ(h.chip, kHeader.chip);
    EXPECT_EQ(back.UsedCount(), kRows);
    for (int r = 1; r <= kRows; ++r)
        for (int c = 0; c < kCols; ++c) ASSERT_EQ(back.Cell(r, c), l.Cell(r, c)) << r << "," << c;

    // A path that does not exist reads back as deleted in the shown column only.
    ProgrammingList gone;
    ASSERT_EQ(list::Read(d / "p.QWF", &gone, &h, nullptr), list::kProjectOk);
    EXPECT_EQ(gone.Cell(1, kColPath), l.Cell(1, kColPath));
    EXPECT_EQ(gone.Cell(1, kColShownPath), "文件已删除");
}

TEST(ProjectRead, onlyWhatTheWriterMakesCountsAsComplete) {
    TempDir d;
    ProgrammingList l;
    for (int i = 0; i < kRows; ++i) Add(l, "s.wav", "/s.wav", 1000);
    ASSERT_EQ(list::Write(d / "p.QWF", l, kHeader, list::Today()), list::kProjectOk);
    const std::string full = ReadBytes(d / "p.QWF");
    EXPECT_EQ(list::IncompleteReason(full), "");
    const std::string header = full.substr(0, full.find("\r\n") + 2);
    EXPECT_EQ(list::IncompleteReason(header), "");
    EXPECT_EQ(list::IncompleteReason(header + "\r\n" + full.substr(header.size())), "");  // blank lines

    EXPECT_EQ(list::IncompleteReason(""), "the file is empty");
    // The header is judged first, so a file that is no project says so
    // whatever its line ends; version, date and fixed word are not tested.
    EXPECT_EQ(list::IncompleteReason("notes\n"), "no project header");
    EXPECT_EQ(list::IncompleteReason("notes\r\n"), "no project header");
    EXPECT_EQ(list::IncompleteReason("V1.0,20261207,wendaloprist,a,\r\n"), "no project header");   // four fields
    EXPECT_EQ(list::IncompleteReason("V1.0,20261207,wendaloprist,a,b\r\n"), "no project header");  // b unended
    EXPECT_EQ(list::IncompleteReason(std::string("\x89PNG\r\n\x1a\n\0\0,,,,,", 15)), "no project header");
    EXPECT_EQ(list::IncompleteReason("V1.0,20261207,other,a,b,\r\n"), "");
    EXPECT_EQ(list::IncompleteReason("V2.0,,,a,b,more,\r\n"), "");
    EXPECT_EQ(list::IncompleteReason(full.substr(0, full.size() - 2)), "bytes after the last CR LF");
    EXPECT_EQ(list::IncompleteReason(full.substr(0, full.size() - 1)), "a line ends in CR without LF");
    std::string lf = full;
    lf.erase(header.size() - 2, 1);
    EXPECT_EQ(list::IncompleteReason(lf), "a line ends in LF without CR");
    EXPECT_EQ(list::IncompleteReason(full + "1,x,\r\n"), "more than 160 rows, the most a list holds");
}

TEST(ProjectRead, literalRulesForFlagsVersionAndTheLastLine) {
    ProgrammingList l;
    std::string bad;
    std::string bytes =
        "V2.0,x,wendaloprist,P,C,extra,\r\n"
        "2,是,0X0001,0X0002,a.wav,10,1KB,.wav,t,/here/a.wav,ignored,more,\r\n"
        "0x1,否,0X0003,0X0004,b.wav,20,1KB,.wav,t,/gone/b.wav,\r\n"
        "1,是,0X0005,0X0006,c.wav,30,1KB,.wav,t,/here/c.wav,";  // no CR LF
    list::Header h;
    ASSERT_EQ(ParseBytes(bytes, &l, &h, &bad), list::kProjectOk);
    EXPECT_EQ(h.programmer, "P");
    EXPECT_EQ(h.chip, "C");
    EXPECT_EQ(l.Cell(1, kColFlagText), "否");  // only the number 1 is 是
    EXPECT_EQ(l.Cell(2, kColFlagText), "是");
    EXPECT_EQ(l.Cell(2, kColShownPath), "文件已删除");
    EXPECT_EQ(l.Cell(1, kColShownPath), "/here/a.wav");
    EXPECT_EQ(l.UsedCount(), 2);
    EXPECT_EQ(l.Cell(3, kColRow), "");  // the unterminated line fills cells only
    EXPECT_EQ(l.Cell(3, kColName), "c.wav");
}

TEST(ProjectRead, aNonNumericFlagStopsReadingThere) {
    ProgrammingList l;
    std::string bad;
    std::string bytes =
        "V1.0,20261207,wendaloprist,P,C,\r\n"
        "1,是,0X0001,0X0002,a.wav,10,1KB,.wav,t,/here/a.wav,/here/a.wav,\r\n"
        "yes,是,0X0003,0X0004,b.wav,20,1KB,.wav,t,/here/b.wav,/here/b.wav,\r\n"
        "1,是,0X0005,0X0006,c.wav,30,1KB,.wav,t,/here/c.wav,/here/c.wav,\r\n";
    EXPECT_EQ(ParseBytes(bytes, &l, nullptr, &bad), list::kProjectBadFlag);
    EXPECT_EQ(bad, "yes");
    EXPECT_EQ(l.UsedCount(), 1);
    EXPECT_EQ(l.Cell(2, kColName), "");
}

TEST(ProjectRead, damagedFilesNeverCrash) {
    TempDir d;
    ProgrammingList l;
    list::Header h;
    // Missing, empty, a folder.
    EXPECT_EQ(list::Read(d / "none.QWF", &l, &h, nullptr), list::kProjectNotFound);
    WriteBytes(d / "empty.QWF", "");
    EXPECT_EQ(list::Read(d / "empty.QWF", &l, &h, nullptr), list::kProjectOk);
    EXPECT_EQ(l.UsedCount(), 0);
    EXPECT_EQ(list::Read(d.path(), &l, &h, nullptr), list::kProjectNotFound);
    // LF-only line ends: one long header line, no rows.
    EXPECT_EQ(ParseBytes("V1.0,d,w,P,C,\n1,是,0X1,0X2,a,1,1KB,.wav,t,/here/a,\n", &l), list::kProjectOk);
    EXPECT_EQ(l.UsedCount(), 0);
    // Junk, NUL bytes, lone CRs and blank lines.
    std::string junk = std::string("V1.0,,,,,\r\n\r\n\r\n1,") + '\0' + "\xFF\x80,0X1,\r\r\njunk\r\n\xFE";
    ASSERT_EQ(ParseBytes(junk, &l), list::kProjectOk);
    EXPECT_EQ(l.UsedCount(), 2);  // blank lines skipped; short lines kept
    EXPECT_EQ(l.Cell(1, kColStart), "0X1");
    EXPECT_EQ(l.Cell(2, kColFlag), "");
    // An empty flag field is no number either.
    ProgrammingList e;
    std::string bad = "?";
    EXPECT_EQ(ParseBytes("h,\r\n,,,\r\n", &e, nullptr, &bad), list::kProjectBadFlag);
    EXPECT_EQ(bad, "");
    // More lines than rows: the rest is ignored.
    ProgrammingList many;
    std::string big = "h,\r\n";
    for (int i = 0; i < kRows + 40; ++i) big += "1,,0X0,0X0,n,0,,,,/p,/p,\r\n";
    ASSERT_EQ(ParseBytes(big, &many), list::kProjectOk);
    EXPECT_EQ(many.UsedCount(), kRows);
    // An enormous file is refused before it is read.
    {
        std::ofstream f(d / "huge.QWF", std::ios::binary);
        f.seekp(static_cast<std::streamoff>(list::kMaxFileBytes));
        f.put('x');
    }
    EXPECT_EQ(list::Read(d / "huge.QWF", &l, &h, nullptr), list::kProjectTooLarge);
}
