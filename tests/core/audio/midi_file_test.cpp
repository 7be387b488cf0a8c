// Length of standard MIDI files from their tempo map, and robustness against
// damaged files.
#include "audio/midi_file.h"

#include "audio_files.h"
#include "audio/audio_result.h"

using namespace audio;
using audiotest::Smf;
using audiotest::Track;

namespace {

int64_t DurationUs(const std::vector<uint8_t>& f, int* rc = nullptr) {
    int64_t us = -1;
    int r = SmfDurationUs(f.data(), f.size(), &us);
    if (rc) *rc = r;
    return us;
}

// 480 ticks at 120 bpm, then 480 ticks at 60 bpm: 0.5 s + 1.0 s.
Track TempoChangeTrack() {
    Track t;
    t.Tempo(0, 500000);
    t.Event(0, {0x90, 60, 100});
    t.Event(480, {0x80, 60, 64});
    t.Tempo(0, 1000000);
    t.Event(0, {0x90, 64, 100});
    t.Event(480, {0x80, 64, 64});
    t.End(0);
    return t;
}

}  // namespace

TEST(SmfLength, tempoChangeMidTrack_timedByTempoMap) {
    EXPECT_EQ(DurationUs(Smf(0, 480, {TempoChangeTrack()})), 1500000);
}

TEST(SmfLength, formatOne_tempoTrackAppliesToLongestTrack) {
    Track tempo;
    tempo.Tempo(0, 250000);   // 240 bpm: 96 ticks = 0.25 s
    tempo.Tempo(96, 750000);  // then 80 bpm
    tempo.End(0);
    Track notes;  // running status: the second and third note events carry no status byte
    notes.Event(0, {0x91, 60, 100});
    notes.Event(96, {62, 100});
    notes.Event(192, {62, 0});
    notes.End(96);  // ends at tick 384: 0.25 s + 288 ticks × 0.75 s / 96
    EXPECT_EQ(DurationUs(Smf(1, 96, {tempo, notes})), 250000 + 2250000);
}

TEST(SmfLength, defaultTempoAndSkippedSysexAndMeta) {
    Track t;
    t.Event(0, {0xF0, 0x03, 0x7E, 0x7F, 0xF7});               // sysex with its length
    t.Event(0, {0xFF, 0x03, 0x05, 'P', 'i', 'a', 'n', 'o'});  // track name
    t.Event(0, {0xC0, 19});                                   // program change: one data byte
    t.Event(0, {0x90, 60, 100});
    t.Event(960, {0x80, 60, 0});
    t.End(0);
    EXPECT_EQ(DurationUs(Smf(0, 480, {t})), 1000000);  // 120 bpm when no tempo is given
}

TEST(SmfLength, smpteDivision_ignoresTempo) {
    Track t;
    t.Tempo(0, 1000000);
    t.End(2500);  // 25 fps × 40 ticks per frame = 1000 ticks per second
    EXPECT_EQ(DurationUs(Smf(0, uint16_t((uint8_t(-25) << 8) | 40), {t})), 2500000);
}

TEST(SmfLength, damagedFiles_readUpToTheDamageOrRefused) {
    std::vector<uint8_t> good = Smf(0, 480, {TempoChangeTrack()});

    // Cut inside the second note-off: the last complete event is the second note-on at 0.5 s.
    std::vector<uint8_t> cut(good.begin(), good.end() - 5);
    int rc;
    EXPECT_EQ(DurationUs(cut, &rc), 500000);
    EXPECT_EQ(rc, kAudioOk);

    // A data byte with no running status stops the track there.
    Track bad;
    bad.Event(0, {0x90, 60, 100});
    bad.Event(480, {0x80, 60, 0});
    bad.Event(0, {0xFF, 0x01, 0x00});  // meta cancels running status
    bad.Event(480, {0x40, 0x40});      // so this is garbage
    bad.End(480);
    EXPECT_EQ(DurationUs(Smf(0, 480, {bad})), 500000);

    // More tracks announced than present, and a delta that never ends.
    std::vector<uint8_t> more = good;
    more[11] = 5;
    EXPECT_EQ(DurationUs(more), 1500000);
    Track endless;
    endless.bytes = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(DurationUs(Smf(0, 480, {endless}), &rc), 0);
    EXPECT_EQ(rc, kAudioOk);

    // Absurd deltas and tempos saturate at INT_MAX milliseconds instead of overflowing.
    Track huge;
    huge.Tempo(0, 0xFFFFFF);
    huge.End(0x0FFFFFFF);
    EXPECT_EQ(DurationUs(Smf(0, 1, {huge})), 2147483647000LL);

    for (auto header :
         {std::vector<uint8_t>{'M', 'T', 'h', 'd'}, std::vector<uint8_t>(good.begin(), good.begin() + 13)}) {
        EXPECT_EQ(DurationUs(header, &rc), 0);
        EXPECT_EQ(rc, kAudioUnsupported);
    }
    std::vector<uint8_t> zeroDivision = good;
    zeroDivision[12] = zeroDivision[13] = 0;
    DurationUs(zeroDivision, &rc);
    EXPECT_EQ(rc, kAudioUnsupported);
    std::vector<uint8_t> hugeHeader = good;
    hugeHeader[4] = 0x7F;
    DurationUs(hugeHeader, &rc);
    EXPECT_EQ(rc, kAudioUnsupported);
}

TEST(SmfLength, damageEndsTheFile_tempoZeroAndLaterTracks) {
    // A tempo of 0, or one too short to hold a tempo, is damage: the notes after it are not counted.
    for (std::initializer_list<uint8_t> tempo : {std::initializer_list<uint8_t>{0xFF, 0x51, 0x03, 0, 0, 0},
                                                 std::initializer_list<uint8_t>{0xFF, 0x51, 0x02, 0x07, 0xA1}}) {
        Track t;
        t.Event(0, {0x90, 60, 100});
        t.Event(480, {0x80, 60, 0});
        t.Event(0, tempo);
        t.Event(480, {0x90, 62, 100});
        t.End(4800);
        EXPECT_EQ(DurationUs(Smf(0, 480, {t})), 500000);
    }

    // Damage in the first track: the longer second track is not read.
    Track bad;
    bad.Event(0, {0x90, 60, 100});
    bad.Event(480, {0x80, 60, 0});
    bad.Event(0, {0xF1, 0x00});  // a system common byte
    Track longer;
    longer.Event(0, {0x90, 60, 100});
    longer.End(1920);
    EXPECT_EQ(DurationUs(Smf(1, 480, {bad, longer})), 500000);
    EXPECT_EQ(DurationUs(Smf(1, 480, {longer, bad})), 2000000);
}

TEST(MidiFile, recognisedByContentAndUnwrappedFromRmid) {
    std::vector<uint8_t> smf = Smf(0, 480, {TempoChangeTrack()});
    std::vector<uint8_t> rmid = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'R', 'M', 'I', 'D', 'd', 'a', 't', 'a'};
    for (int i = 0; i < 4; ++i) rmid.push_back(uint8_t(smf.size() >> (8 * i)));
    rmid.insert(rmid.end(), smf.begin(), smf.end());

    std::string plain = audiotest::PathOf("song.wav");  // the name does not matter
    std::string wrapped = audiotest::PathOf("song.rmi");
    audiotest::WriteBytes(plain, smf);
    audiotest::WriteBytes(wrapped, rmid);
    std::vector<uint8_t> loaded;
    ASSERT_TRUE(LoadMidiFile(plain, &loaded));
    EXPECT_EQ(loaded, smf);
    ASSERT_TRUE(LoadMidiFile(wrapped, &loaded));
    EXPECT_EQ(loaded, smf);

    const uint8_t riffWave[12] = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'};
    EXPECT_FALSE(LooksLikeMidi(riffWave, sizeof riffWave));
    EXPECT_FALSE(LooksLikeMidi(smf.data(), 3));
    EXPECT_FALSE(LoadMidiFile(audiotest::PathOf("missing.mid"), &loaded));

    // In memory: a data chunk longer than the wrapper gives what is there; a
    // wrapper around something else is not MIDI.
    std::vector<uint8_t> extracted;
    std::vector<uint8_t> cut(rmid.begin(), rmid.end() - 3);
    ASSERT_TRUE(ExtractSmf(cut.data(), cut.size(), &extracted));
    EXPECT_EQ(extracted, std::vector<uint8_t>(smf.begin(), smf.end() - 3));
    std::vector<uint8_t> other(rmid.begin(), rmid.begin() + 20);
    other.insert(other.end(), {'R', 'I', 'F', 'F'});
    EXPECT_FALSE(ExtractSmf(other.data(), other.size(), &extracted));
    EXPECT_TRUE(extracted.empty());
    EXPECT_FALSE(ExtractSmf(riffWave, sizeof riffWave, &extracted));
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new audiotest::TempDirCleaner);
    return RUN_ALL_TESTS();
}
