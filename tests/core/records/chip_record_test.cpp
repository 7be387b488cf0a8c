#include "records/chip_record.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <time.h>

#include <nlohmann/json.hpp>

namespace {

using std::chrono::milliseconds;
using std::chrono::system_clock;

// 2026-12-08 14:04:05.123 UTC.
const system_clock::time_point kEnded{milliseconds(1796738645123)};

// What `make` returns with TZ set to `tz`; TZ is put back afterwards.
template <class Make>
std::string InZone(const char* tz, Make make) {
    const char* was = getenv("TZ");
    const std::string old = was ? was : "";
    setenv("TZ", tz, 1);
    tzset();
    const std::string text = make();
    was ? setenv("TZ", old.c_str(), 1) : unsetenv("TZ");
    tzset();
    return text;
}

std::string TimeIn(const char* tz, system_clock::time_point t) {
    return InZone(tz, [&] { return records::IsoTimeWithOffset(t); });
}

TEST(ChipRecord, isoTimeIsLocalWithMillisecondsAndOffset) {
    EXPECT_EQ(TimeIn("UTC0", kEnded), "2026-12-08T14:04:05.123+00:00");
    EXPECT_EQ(TimeIn("CET-1", kEnded), "2026-12-08T15:04:05.123+01:00");
    EXPECT_EQ(TimeIn("XST3:30", kEnded), "2026-12-08T10:34:05.123-03:30");
    EXPECT_EQ(TimeIn("UTC0", system_clock::time_point{milliseconds(-1)}), "1969-12-31T23:59:59.999+00:00");
}

TEST(ChipRecord, lineHasFixedKeyOrderNullDigestsAndEscapedStrings) {
    const records::ChipRecord r{kEnded,
                                "COM1",
                                "/dev/ttyUSB0",
                                "default",
                                3,
                                "/p/say \"hi\".QWF",
                                std::string(64, 'a'),
                                "SM-1 编程器",
                                "SV020A",
                                false,
                                "ok",
                                "",
                                61234,
                                {{1, "/p/one\t1.wav", std::string(64, 'b'), 0, 0x1f, true, "ignored", std::nullopt},
                                 {2, "/p/\xff.wav", "", 0x20, 0x9f, true, "", std::nullopt}}};
    EXPECT_EQ(InZone("CET-1", [&] { return records::ChipRecordLine(r); }),
              "{\"time\":\"2026-12-08T15:04:05.123+01:00\",\"station\":\"COM1\",\"port\":\"/dev/ttyUSB0\","
              "\"output\":\"default\",\"round\":3,\"project\":\"/p/say \\\"hi\\\".QWF\",\"project_sha256\":\"" +
                  std::string(64, 'a') +
                  "\",\"programmer\":\"SM-1 编程器\",\"chip\":\"SV020A\",\"aux\":false,\"result\":\"ok\","
                  "\"message\":\"\",\"duration_ms\":61234,\"segments\":["
                  "{\"row\":1,\"file\":\"/p/one\\t1.wav\",\"sha256\":\"" +
                  std::string(64, 'b') +
                  "\",\"start\":0,\"end\":31,\"recorded\":true},"
                  "{\"row\":2,\"file\":\"/p/\\u00ff.wav\",\"sha256\":null,\"start\":32,\"end\":159,"
                  "\"recorded\":true}]}\n");

    // The chip's name holds a cut-off UTF-8 sequence and an overlong one.
    const records::ChipRecord failed{kEnded,
                                     "",
                                     "",
                                     "",
                                     0,
                                     "",
                                     "",
                                     "",
                                     "\xe7\xbc"
                                     "A\xc0\xaf",
                                     true,
                                     "failed",
                                     "no reply\r\n\x01\x7f",
                                     0,
                                     {{4, "b.wav", "", 5, 6, false, "file\\gone", std::nullopt}}};
    EXPECT_EQ(InZone("UTC0", [&] { return records::ChipRecordLine(failed); }),
              "{\"time\":\"2026-12-08T14:04:05.123+00:00\",\"station\":\"\",\"port\":\"\",\"output\":\"\","
              "\"round\":0,\"project\":\"\",\"project_sha256\":null,\"programmer\":\"\","
              "\"chip\":\"\\u00e7\\u00bcA\\u00c0\\u00af\",\"aux\":true,\"result\":\"failed\","
              "\"message\":\"no reply\\r\\n\\u0001\x7f\",\"duration_ms\":0,\"segments\":["
              "{\"row\":4,\"file\":\"b.wav\",\"sha256\":null,\"start\":5,\"end\":6,\"recorded\":false,"
              "\"reason\":\"file\\\\gone\"}]}\n");
}

// What a reader of the record gets back, read with a JSON library: every
// UTF-8 text as it was, quotes, backslashes and control characters included.
TEST(ChipRecord, namesWithQuotesBackslashesAndControlsReadBackAsTheyWere) {
    const std::string project = "/p/say \"hi\" \\ back\\slash\\.QWF";
    const std::string file = "/p/\"quoted\"\\dir\\tab\there\nnew line\x01\x1f 编程.wav";
    const std::string message = "row 1 (\"a\\b\") not recorded\r\n";
    const records::ChipRecord r{kEnded,
                                "st\\1",
                                "/dev/tty\"0\"",
                                "hw:\"x\"",
                                7,
                                project,
                                "",
                                "SM-1 编程器",
                                "SV020A",
                                true,
                                "failed",
                                message,
                                12,
                                {{1, file, "", 0, 3, false, "the file \"" + file + "\" is missing", std::nullopt}}};
    const nlohmann::json j = nlohmann::json::parse(records::ChipRecordLine(r));
    EXPECT_EQ(j.at("station"), "st\\1");
    EXPECT_EQ(j.at("port"), "/dev/tty\"0\"");
    EXPECT_EQ(j.at("output"), "hw:\"x\"");
    EXPECT_EQ(j.at("project"), project);
    EXPECT_EQ(j.at("project_sha256"), nullptr);
    EXPECT_EQ(j.at("programmer"), "SM-1 编程器");
    EXPECT_EQ(j.at("message"), message);
    ASSERT_EQ(j.at("segments").size(), 1u);
    EXPECT_EQ(j.at("segments")[0].at("file"), file);
    EXPECT_EQ(j.at("segments")[0].at("reason"), "the file \"" + file + "\" is missing");
}

}  // namespace

namespace {

TEST(ChipRecord, aVerifiedSegmentCarriesItsFiguresWithFixedDecimals) {
    records::ChipRecord r;
    records::SegmentRecord s;
    s.row = 2;
    s.file = "/j/b.wav";
    s.sha256 = "ab";
    s.start = 3;
    s.end = 5;
    s.recorded = true;
    s.verify = records::VerifyRecord{false, 0.31249, -41, -3.25, 375, 0, false, 0.00016};
    r.segments = {s};
    const std::string line = InZone("UTC0", [&] { return records::ChipRecordLine(r); });
    const std::string segments = line.substr(line.find("\"segments\":"));
    EXPECT_EQ(
        segments,
        "\"segments\":[{\"row\":2,\"file\":\"/j/b.wav\",\"sha256\":\"ab\",\"start\":3,\"end\":5,\"recorded\":true,"
        "\"verify\":{\"ok\":false,\"similarity\":0.312,\"delay_ms\":-41,\"level_db\":-3.2,\"head_missing_ms\":375,"
        "\"tail_missing_ms\":0,\"silent\":false,\"clipped\":0.0002}}]}\n");
}

}  // namespace
