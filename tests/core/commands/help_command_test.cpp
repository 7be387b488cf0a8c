#include "commands/help_command.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <string>

#include "help_viewer_record.h"
#include "scripted_prompt.h"

namespace {

const std::string kLibDir = SONMIRA_TEST_LIB_DIR "/";

void ExpectOnlyTheLoadFailedBox(const ScriptedPrompt& ui, const std::string& library) {
    const std::vector<ShownBox> boxes = ui.Boxes();
    ASSERT_EQ(boxes.size(), 1u) << library;
    EXPECT_EQ(boxes[0].text, "对不起！帮助文件加载失败。") << library;
    EXPECT_EQ(boxes[0].caption, "系统提示") << library;
    EXPECT_EQ(boxes[0].icon, messages::MsgIcon::Information) << library;
    EXPECT_EQ(boxes[0].buttons, messages::MsgButtons::Ok) << library;
}

}  // namespace

TEST(HelpCommand, aViewerThatCannotBeLoadedOrLacksItsEntryShowsTheLoadFailedMessage) {
    EXPECT_STREQ(commands::kHelpViewerLibrary, "libhhctrl.so");
    const std::string libraries[] = {
        "libsonmira_no_such_viewer.so",            // not beside the program, not on the system
        kLibDir + "libsonmira_no_such_viewer.so",  // a path that names nothing
        kLibDir + "libhelptest_broken.so",         // loads, but has no HtmlHelpA
        "libhelptest_broken.so",                   // the same, found beside the program
    };
    for (const std::string& library : libraries) {
        ScriptedPrompt ui{messages::MsgAnswer::Ok};
        EXPECT_FALSE(commands::OpenHelpFile(ui, kLibDir, library)) << library;
        ExpectOnlyTheLoadFailedBox(ui, library);
    }
    // A library without the entry is not kept loaded.
    EXPECT_EQ(dlopen((kLibDir + "libhelptest_broken.so").c_str(), RTLD_NOW | RTLD_NOLOAD), nullptr);
}

TEST(HelpCommand, callsTheViewerWithNoOwnerTheHelpFileBesideTheProgramCommandZeroAndValueZero) {
    const std::string recorder = kLibDir + "libhelptest_recording.so";
    ScriptedPrompt ui{messages::MsgAnswer::Ok};
    ASSERT_TRUE(commands::OpenHelpFile(ui, "/opt/sonmira/", recorder));

    void* handle = dlopen(recorder.c_str(), RTLD_NOW | RTLD_NOLOAD);
    ASSERT_NE(handle, nullptr) << "the viewer library stays loaded";
    const auto lastCall = reinterpret_cast<HelpTestLastCallFn>(dlsym(handle, "HelpTestLastCall"));
    ASSERT_NE(lastCall, nullptr);
    const HelpViewerCall& call = *lastCall();
    EXPECT_EQ(call.calls, 1);
    EXPECT_EQ(call.owner, nullptr);
    EXPECT_STREQ(call.file, "/opt/sonmira/qv_help.chm");
    EXPECT_EQ(call.command, 0u);
    EXPECT_EQ(call.data, 0u);

    // Found by its bare name beside the program; the viewer's result is not
    // looked at (it returned null), and a missing help file is not the
    // program's to tell.
    ASSERT_TRUE(commands::OpenHelpFile(ui, kLibDir, "libhelptest_recording.so"));
    EXPECT_EQ(call.calls, 2);
    EXPECT_EQ(call.file, kLibDir + "qv_help.chm");
    EXPECT_TRUE(ui.Boxes().empty());
    dlclose(handle);
}
