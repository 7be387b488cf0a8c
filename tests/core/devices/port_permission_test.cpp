// What the user is told about a device they may not open, read from the
// device's own owner group and mode.
#include "devices/port_permission.h"

#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "as_nobody.h"
#include "test_files.h"

namespace {

TEST(PortPermission, namesTheGroupThatOpensTheDeviceOrSendsToTheAdministrator) {
    if (geteuid() != 0) GTEST_SKIP() << "only root can hand the devices to other groups";
    const int dialout = test_support::GroupId("dialout");
    if (dialout < 0) GTEST_SKIP() << "this system has no group dialout";
    const test_support::TempDir root;
    ASSERT_EQ(mkdir((root / "dev").c_str(), 0755), 0);
    int unnamed = 54321;
    while (getgrgid(static_cast<gid_t>(unnamed)) != nullptr) ++unnamed;
    const std::string number = std::to_string(unnamed);
    const std::string admin = "no permission to open it: ask the administrator for read and write access to the device";
    const struct {
        const char* name;
        int gid;
        mode_t mode;
        std::string text;
    } cases[] = {
        {"ttyUSB0", dialout, 0660,
         "no permission to open it (the device belongs to group dialout): sudo usermod -aG dialout $USER, then log "
         "in again"},
        // A group the system does not name is still one usermod takes.
        {"ttyUSB1", unnamed, 0660,
         "no permission to open it (the device belongs to group " + number + "): sudo usermod -aG " + number +
             " $USER, then log in again"},
        {"ttyUSB2", dialout, 0640, admin},  // the group may only read it
        {"ttyUSB3", 0, 0660, admin},        // root's group is no way in
    };
    for (const auto& c : cases) {
        const std::string file = root / (std::string("dev/") + c.name);
        test_support::WriteBytes(file, "");
        ASSERT_EQ(chown(file.c_str(), 0, static_cast<gid_t>(c.gid)), 0) << c.name;
        ASSERT_EQ(chmod(file.c_str(), c.mode), 0) << c.name;
        EXPECT_EQ(devices::NoPermissionText(std::string("/dev/") + c.name, root.path()), c.text) << c.name;
    }
    EXPECT_EQ(devices::NoPermissionText("/dev/gone", root.path()), admin);
}

}  // namespace
