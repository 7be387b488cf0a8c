// The stations of sonmira-cli line: each "PORT=OUTPUT" read, and two stations
// on one port (by any of its names) or one sound output refused; each
// "PORT=INPUT" of --verify given to the station on that port.
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

TEST(CliStationList, eachCaptureGoesToTheStationOnItsPort) {
    const test_support::TempDir dir;
    const std::string device = dir / "ttyUSB0", link = dir / "by-id-adapter";
    test_support::WriteBytes(device, "");
    ASSERT_EQ(symlink(device.c_str(), link.c_str()), 0);
    setenv("SERTRA_COM2", device.c_str(), 1);
    std::vector<cli::Station> s;
    ASSERT_EQ(cli::ParseStations({"/dev/ttyUSB9=hw:1", "COM2=gst:a=b"}, &s), "");
    // Given in another order; one by the link to the device COM2 names; an input holding '='.
    EXPECT_EQ(cli::MatchCaptures({link + "=gst:volume volume=0.5 ! pulsesrc", "/dev/ttyUSB9=line.monitor"}, &s), "");
    EXPECT_EQ(s[0].capture, "line.monitor");
    EXPECT_EQ(s[1].capture, "gst:volume volume=0.5 ! pulsesrc");
    EXPECT_EQ(s[1].output, "gst:a=b");

    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"COM2=a.monitor"}, "station 1 (/dev/ttyUSB9) needs --capture /dev/ttyUSB9=INPUT"},
        {{}, "station 1 (/dev/ttyUSB9) needs --capture /dev/ttyUSB9=INPUT"},
        {{"COM2=a.monitor", "/dev/ttyUSB9=a.monitor"}, "stations 1 and 2 name the same sound input (a.monitor)"},
        {{"COM2=a.monitor", "/dev/ttyUSB9=pulse:a.monitor"},
         "stations 1 and 2 name the same sound input (pulse:a.monitor)"},
        {{"COM2=a.monitor", device + "=b.monitor"}, "station 2 (COM2) has two --capture inputs"},
        {{"COM3=a.monitor"}, "capture 'COM3=a.monitor': no station is on port COM3"},
        {{"line.monitor"}, "capture 'line.monitor' needs PORT=INPUT"},
        {{"COM2="}, "capture 'COM2=' needs a port before '=' and a sound input after it"},
    };
    for (const auto& c : cases) {
        std::vector<cli::Station> fresh;
        ASSERT_EQ(cli::ParseStations({"/dev/ttyUSB9=hw:1", "COM2=gst:a=b"}, &fresh), "");
        EXPECT_EQ(cli::MatchCaptures(c.first, &fresh), c.second);
    }
    unsetenv("SERTRA_COM2");
}

}  // namespace
