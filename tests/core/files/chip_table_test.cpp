#include <gtest/gtest.h>

#include <fstream>

#include "files/chip_table.h"
#include "test_files.h"

namespace {

const std::string kHeader = "code,name,step,last,scale,lowest,capacity,\r\n";
const std::string kTable = kHeader +
                           "1,SV020A,125,0x9F,1,0,20000,\r\n"
                           "0x0101,SV060V,100,$257,1, 0x10,60000,extra,fields,\r\n"
                           "3,\xb2\xe2\xca\xd4 X,250,  99,2,5,25000,\r\n";

void ExpectProfile(const files::ChipProfile& p, int32_t code, const std::string& name, int32_t step, int32_t last,
                   int32_t scale, int32_t lowest, int32_t capacity) {
    EXPECT_EQ(p.code, code);
    EXPECT_EQ(p.name, name);
    EXPECT_EQ(p.step, step);
    EXPECT_EQ(p.lastAddress, last);
    EXPECT_EQ(p.scale, scale);
    EXPECT_EQ(p.lowest, lowest);
    EXPECT_EQ(p.capacity, capacity);
}

int Scan(const std::string& table, const std::string& name, files::ChipProfile* p, std::string* error = nullptr) {
    std::string e;
    return files::ScanChipTable(table, name, p, error ? error : &e);
}

TEST(ChipTable, matchingLineGivesItsProfile) {
    files::ChipProfile p;
    EXPECT_EQ(Scan(kTable, "SV060V", &p), files::kChipFound);
    ExpectProfile(p, 0x101, "SV060V", 100, 0x257, 1, 0x10, 60000);
    EXPECT_EQ(Scan(kTable, "SV020A", &p), files::kChipFound);
    ExpectProfile(p, 1, "SV020A", 125, 0x9F, 1, 0, 20000);
    // GBK name, compared after decoding, blanks included.
    EXPECT_EQ(Scan(kTable, "测试 X", &p), files::kChipFound);
    ExpectProfile(p, 3, "测试 X", 250, 99, 2, 5, 25000);
    // The same chip again reads the same.
    EXPECT_EQ(Scan(kTable, "测试 X", &p), files::kChipFound);
    ExpectProfile(p, 3, "测试 X", 250, 99, 2, 5, 25000);
}

TEST(ChipTable, noMatchLeavesTheLastValuesRead) {
    for (const char* name : {"sv020a", "SV020A ", "Missing"}) {
        files::ChipProfile p;
        EXPECT_EQ(Scan(kTable, name, &p), files::kChipNotFound) << name;
        ExpectProfile(p, 3, "测试 X", 250, 99, 2, 5, 25000);
    }
    // The name check also runs at the header's line end: when the profile's
    // name already equals the selection and the header has seven commas, the
    // scan stops there and nothing changes (an empty selection after start).
    files::ChipProfile p;
    EXPECT_EQ(Scan(kTable, "", &p), files::kChipFound);
    ExpectProfile(p, 0, "", 125, 159, 1, 0, 0);
    EXPECT_EQ(Scan("h,\r\n" + kTable.substr(kHeader.size()), "", &p), files::kChipNotFound);
    ExpectProfile(p, 3, "测试 X", 250, 99, 2, 5, 25000);
}

TEST(ChipTable, aLineEndsOnlyWithCrLf) {
    files::ChipProfile p;
    // LF only: all one header line, nothing taken.
    EXPECT_EQ(Scan("header,\n1,SV020A,125,0x9F,1,0,20000,\n", "SV020A", &p), files::kChipNotFound);
    ExpectProfile(p, 0, "", 125, 159, 1, 0, 0);
    // A lone CR or LF is part of a field.
    EXPECT_EQ(Scan(kHeader + "1,SV\rX,125,0x9F,1,0,20000,\r\n", "SV\rX", &p), files::kChipFound);
    EXPECT_EQ(p.name, "SV\rX");
    std::string error;
    EXPECT_EQ(Scan(kHeader + "1,A,12\n5,", "A", &p, &error), files::kChipTableBadNumber);
    EXPECT_EQ(error, "'12\n5' is not a valid integer value");
}

TEST(ChipTable, aFieldCountsOnlyWithItsComma) {
    files::ChipProfile p;
    // Capacity lacks its comma: not stored, and six fields never match.
    EXPECT_EQ(Scan(kHeader + "1,SV020A,125,0x9F,1,0,20000\r\n2,LAST,100,9,1,0,1000,\r\n", "SV020A", &p),
              files::kChipNotFound);
    ExpectProfile(p, 2, "LAST", 100, 9, 1, 0, 1000);
    p = {};
    EXPECT_EQ(Scan(kHeader + "1,SV020A,125,0x9F,1,0,20000\r\n", "SV020A", &p), files::kChipNotFound);
    ExpectProfile(p, 1, "SV020A", 125, 0x9F, 1, 0, 0);
    // The last line without CR LF still leaves its values; with seven fields it is the match.
    p = {};
    EXPECT_EQ(Scan(kHeader + "1,SV020A,125,0x9F,1,0,20000,", "SV020A", &p), files::kChipFound);
    EXPECT_EQ(p.capacity, 20000);
}

TEST(ChipTable, theHeaderIsNeverTaken) {
    files::ChipProfile p;
    EXPECT_EQ(Scan("9,SV020A,1,1,1,1,1,\r\n1,SV020A,125,0x9F,1,0,20000,\r\n", "SV020A", &p), files::kChipFound);
    ExpectProfile(p, 1, "SV020A", 125, 0x9F, 1, 0, 20000);
    p = {};
    EXPECT_EQ(Scan("junk,not,numbers,at,all,,,\r\n", "X", &p), files::kChipNotFound);
    ExpectProfile(p, 0, "", 125, 159, 1, 0, 0);
}

TEST(ChipTable, aNumberThatDoesNotConvertEndsTheScanWithTheMessage) {
    files::ChipProfile p;
    std::string error;
    EXPECT_EQ(Scan(kHeader + "7,SV1,125,0x9G,1,0,20000,\r\n1,SV020A,125,0x9F,1,0,20000,\r\n", "SV020A", &p, &error),
              files::kChipTableBadNumber);
    EXPECT_EQ(error, "'0x9G' is not a valid integer value");
    ExpectProfile(p, 7, "SV1", 125, 159, 1, 0, 0);
    // An empty number field is an error too; the message shows GBK text decoded.
    p = {};
    EXPECT_EQ(Scan(kHeader + "1,SV1,,", "SV1", &p, &error), files::kChipTableBadNumber);
    EXPECT_EQ(error, "'' is not a valid integer value");
    p = {};
    EXPECT_EQ(Scan(kHeader + "\xd6\xb5,", "SV1", &p, &error), files::kChipTableBadNumber);
    EXPECT_EQ(error, "'值' is not a valid integer value");
}

TEST(ChipTable, fieldsKeepTheirFirst99Bytes) {
    std::string name99(99, 'N');
    files::ChipProfile p;
    EXPECT_EQ(Scan(kHeader + "1," + name99 + "TAIL,125,0x9F,1,0,20000,\r\n", name99, &p), files::kChipFound);
    EXPECT_EQ(p.name, name99);
    std::string error;
    EXPECT_EQ(Scan(kHeader + std::string(99, ' ') + "5,", "X", &p, &error), files::kChipTableBadNumber);
    EXPECT_EQ(error, "'" + std::string(99, ' ') + "' is not a valid integer value");
    // A huge field neither grows without bound nor breaks the lines after it.
    EXPECT_EQ(Scan(kHeader + "1," + std::string(1 << 20, 'x') + ",125,0x9F,1,0,20000,\r\n2,B,1,2,3,4,5,\r\n", "B", &p),
              files::kChipFound);
    ExpectProfile(p, 2, "B", 1, 2, 3, 4, 5);
}

TEST(ChipTable, readingAFile) {
    const test_support::TempDir dir;
    const std::string path = dir / "sound.dat";
    files::ChipProfile p;
    p.name = "kept";
    std::string error;
    EXPECT_EQ(files::ReadChipProfile(path, "SV020A", &p, &error), files::kChipTableMissing);
    ExpectProfile(p, 0, "kept", 125, 159, 1, 0, 0);
    std::ofstream(path, std::ios::binary) << kTable;
    EXPECT_EQ(files::ReadChipProfile(path, "SV020A", &p, &error), files::kChipFound);
    EXPECT_EQ(p.capacity, 20000);
}

}  // namespace
