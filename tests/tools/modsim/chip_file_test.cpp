// The chip on disk: the WAV's exact bytes, the marks file, a round trip, and
// the files a chip refuses to start from.
#include "chip_file.h"

#include <gtest/gtest.h>

#include "test_files.h"

using namespace modsim;
using test_support::ReadBytes;
using test_support::TempDir;
using test_support::WriteBytes;

namespace {

ChipGeometry Small() {
    ChipGeometry g;
    g.rate = 1000;
    g.stepMs = 10;
    g.rows = 8;
    return g;
}

std::string Bytes(std::initializer_list<int> b) {
    std::string s;
    for (int c : b) s += static_cast<char>(c);
    return s;
}

}  // namespace

TEST(ChipFile, HeaderIsMono16BitPcmAtTheChipsRate) {
    EXPECT_EQ(WavHeader(8000, 4),
              "RIFF" + Bytes({44, 0, 0, 0}) + "WAVEfmt " +
                  Bytes({16, 0, 0, 0, 1, 0, 1, 0, 0x40, 0x1F, 0, 0, 0x80, 0x3E, 0, 0, 2, 0, 16, 0}) + "data" +
                  Bytes({8, 0, 0, 0}));
}

TEST(ChipFile, SavedChipLoadsAsItWas) {
    TempDir dir;
    const std::string path = dir / "chip.wav";
    ChipMemory m(Small());
    m.Put(0, 0.5f);
    m.Put(79, -1.0f);
    m.EndRecording(0, 25);
    m.EndRecording(70, 80);
    std::string error;
    ASSERT_EQ(SaveChipFile(path, m, &error), kChipFileOk) << error;

    std::string samples(160, '\0');
    samples.replace(0, 2, Bytes({0x00, 0x40}));    // 16384
    samples.replace(158, 2, Bytes({0x01, 0x80}));  // -32767
    EXPECT_EQ(ReadBytes(path), WavHeader(1000, 80) + samples);
    EXPECT_EQ(
        ReadBytes(path + ".marks.json"),
        "{\"rate\":1000,\"step_ms\":10,\"rows\":8,\"marks\":[{\"row\":2,\"sample\":25},{\"row\":7,\"sample\":80}]}\n");
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
    EXPECT_FALSE(std::filesystem::exists(path + ".marks.json.tmp"));

    ChipMemory back(Small());
    ASSERT_EQ(LoadChipFile(path, back, &error), kChipFileOk) << error;
    EXPECT_EQ(back.Samples(), m.Samples());
    EXPECT_EQ(back.Marks(), m.Marks());
    EXPECT_EQ(back.PlayRange(0, std::nullopt).to, 25);

    ChipMemory fresh(Small());
    EXPECT_EQ(LoadChipFile(dir / "none.wav", fresh, &error), kChipFileMissing);
}

TEST(ChipFile, AFileForAnotherChipIsRefusedAndKept) {
    TempDir dir;
    const std::string path = dir / "chip.wav";
    ChipMemory saved(Small());
    std::string error;
    ASSERT_EQ(SaveChipFile(path, saved, &error), kChipFileOk) << error;
    const std::string wav = ReadBytes(path);

    ChipGeometry longer = Small();
    longer.rows = 9;
    ChipMemory other(longer);
    EXPECT_EQ(LoadChipFile(path, other, &error), kChipFileBad);
    EXPECT_EQ(error, "holds 80 samples at 1000 Hz; the options make a chip of 90 samples at 1000 Hz");

    ChipGeometry faster = Small();
    faster.rate = 2000;
    faster.stepMs = 5;
    ChipMemory fast(faster);
    EXPECT_EQ(LoadChipFile(path, fast, &error), kChipFileBad);
    EXPECT_EQ(error, "holds 80 samples at 1000 Hz; the options make a chip of 80 samples at 2000 Hz");

    ChipMemory m(Small());
    m.Put(3, 0.5f);
    std::string stereo = wav;
    stereo[22] = 2;
    WriteBytes(path, stereo);
    EXPECT_EQ(LoadChipFile(path, m, &error), kChipFileBad);
    EXPECT_EQ(error, "not a mono 16-bit PCM WAV");
    WriteBytes(path, "not a wave");
    EXPECT_EQ(LoadChipFile(path, m, &error), kChipFileBad);

    WriteBytes(path, wav);
    WriteBytes(path + ".marks.json", "{\"rate\":1000,\"step_ms\":10,\"rows\":9,\"marks\":[]}");
    EXPECT_EQ(LoadChipFile(path, m, &error), kChipFileBad);
    EXPECT_EQ(error, path + ".marks.json: made for another chip (rate, step_ms or rows differ from the options)");
    WriteBytes(path + ".marks.json", "{\"rate\":1000,\"step_ms\":10,\"rows\":8,\"marks\":[{\"row\":8,\"sample\":3}]}");
    EXPECT_EQ(LoadChipFile(path, m, &error), kChipFileBad);
    EXPECT_EQ(error, path + ".marks.json: a mark lies outside the chip");

    EXPECT_EQ(m.Samples()[3], 16384);  // a refused file changes nothing
    EXPECT_EQ(ReadBytes(path), wav);
}
