// The program's start-up: the splash on the screen while the windows are
// made, gone before the main window shows; and every control of the main
// window named for screen readers.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QToolButton>
#include <filesystem>

#include "fake_mixer.h"
#include "startup/program_windows.h"
#include "scripted_prompt.h"
#include "test_files.h"
#include "window_setup.h"

namespace {

MainFormSetup SetupIn(const test_support::TempDir& home, messages::IUserPrompt* prompt) {
    test_support::CopyInstallData(home);
    // Never the machine's own volume.
    static test_support::FakeMixer mixer;
    return test_support::WindowSetup(home, prompt, &mixer);
}

}  // namespace

TEST(StartUp, theSplashIsShownWhileTheWindowsAreMadeAndGoneBeforeTheMainWindow) {
    const test_support::TempDir home;
    ScriptedPrompt prompt{messages::MsgAnswer::No};
    MainFormSetup setup = SetupIn(home, &prompt);
    int splashesShown = -1;
    setup.afterCreation = [&] {
        int n = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->inherits("TfrmSplash") && w->isVisible()) ++n;
        splashesShown = n;
    };
    ProgramWindows windows(setup);
    EXPECT_EQ(splashesShown, 1);
    EXPECT_EQ(windows.Splash(), nullptr);
    EXPECT_FALSE(windows.Main().isVisible());
    for (QWidget* w : QApplication::topLevelWidgets()) EXPECT_FALSE(w->inherits("TfrmSplash"));
}

TEST(StartUp, everyControlOfTheMainWindowHasAnAccessibleName) {
    const test_support::TempDir home;
    ScriptedPrompt prompt{messages::MsgAnswer::No};
    ProgramWindows windows(SetupIn(home, &prompt));
    std::vector<std::string> unnamed;
    for (QWidget* w : windows.Main().findChildren<QWidget*>()) {
        const bool control = qobject_cast<QAbstractButton*>(w) || qobject_cast<QComboBox*>(w) ||
                             qobject_cast<QLineEdit*>(w) || qobject_cast<QAbstractItemView*>(w);
        // Widgets Qt makes inside others (a combo box's list, the tool bar's
        // extension button, a grid's header) are named by their owners.
        if (!control || !w->isVisibleTo(&windows.Main()) || w->objectName().startsWith("qt_") ||
            w->inherits("QHeaderView"))
            continue;
        if (w->accessibleName().isEmpty() && w->toolTip().isEmpty() &&
            !(qobject_cast<QAbstractButton*>(w) && !qobject_cast<QAbstractButton*>(w)->text().isEmpty()))
            unnamed.push_back(w->metaObject()->className() + std::string(" ") + w->objectName().toStdString());
    }
    EXPECT_EQ(unnamed, std::vector<std::string>{});
}
