// The stations of sonmira-cli line: each "PORT=OUTPUT" read, and two stations
// on one port (by any of its names) or one sound output refused.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>

#include "station_list.h"
#include "test_files.h"

namespace {

TEST(CliStationList, eachTextSplitAtItsFirstEqualsSign) {
    std::vector<cli::Station> s;
    ASSERT_EQ(cli::ParseStations({"com1=hw:1", "/dev/ttyUSB0=gst:volume volume=0.5 ! autoaudiosink"}, &s), "");
    ASSERT_EQ(s.size(), 2u);
    EXPECT_EQ(s[0].number, 1);
    EXPECT_EQ(s[0].port, "com1");
    EXPECT_EQ(s[0].output, "hw:1");
    EXPECT_EQ(s[1].number, 2);
    EXPECT_EQ(s[1].port, "/dev/ttyUSB0");
    EXPECT_EQ(s[1].output, "gst:volume volume=0.5 ! autoaudiosink");
}

TEST(CliStationList, textsThatNameNoStation) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{}, "at least one --station PORT=OUTPUT expected"},
        {{"COM1"}, "station 'COM1' needs PORT=OUTPUT"},
        {{"=hw:1"}, "station '=hw:1' needs a port before '=' and a sound output after it"},
        {{"COM1=hw:1", "COM2="}, "station 'COM2=' needs a port before '=' and a sound output after it"},
        {{"COM5=hw:1"},
         "station 'COM5=hw:1': unknown port 'COM5' (COM1 to COM4, or a device path such as /dev/ttyUSB0)"},
        {{"ttyUSB0=hw:1"},
         "station 'ttyUSB0=hw:1': unknown port 'ttyUSB0' (COM1 to COM4, or a device path such as /dev/ttyUSB0)"},
    };
    for (const auto& c : cases) {
        std::vector<cli::Station> s;
        EXPECT_EQ(cli::ParseStations(c.first, &s), c.second);
    }
}

TEST(CliStationList, onePortOrOneOutputForTwoStationsIsRefused) {
    const test_support::TempDir dir;
    const std::string device = dir / "ttyUSB0", link = dir / "by-id-adapter";
    test_support::WriteBytes(device, "");
    ASSERT_EQ(symlink(device.c_str(), link.c_str()), 0);
    setenv("SERTRA_COM2", device.c_str(), 1);
    const auto clash = [](const std::vector<std::string>& texts) {
        std::vector<cli::Station> s;
        EXPECT_EQ(cli::ParseStations(texts, &s), "");
        return cli::SharedResource(s);
    };
    EXPECT_EQ(clash({"COM2=hw:1", "/dev/ttyUSB9=hw:2", link + "=hw:3"}),
              "stations 1 and 3 name the same port (" + std::filesystem::canonical(device).string() + ")");
    EXPECT_EQ(clash({"/dev/ttyUSB8=hw:1", "/dev/ttyUSB9=hw:1"}), "stations 1 and 2 name the same sound output (hw:1)");
    EXPECT_EQ(clash({"COM2=hw:1", "/dev/ttyUSB9=hw:2"}), "");
    unsetenv("SERTRA_COM2");
}

}  // namespace
