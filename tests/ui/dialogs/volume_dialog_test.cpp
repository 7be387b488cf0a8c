// The volume and the AUX recording mode from the main window's tool bar:
// the level applied at start and kept in the configuration, the volume
// dialog's OK and Cancel, the device's own volume put back at exit (all on a
// fake mixer), and the AUX button's state, hint and image.
#include <gtest/gtest.h>

#include <QAction>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <filesystem>

#include "art/art.h"
#include "fake_mixer.h"
#include "main_form.h"
#include "run_rig.h"
#include "scripted_prompt.h"
#include "test_files.h"
#include "dialogs/volume_dialog.h"
#include "window_setup.h"

namespace fs = std::filesystem;

namespace {

const std::string kOut = SONMIRA_OUT_DIR "/";
constexpr uint32_t kDeviceWord = 0x4000C000;  // the machine's volume before the program

class VolumeTest : public ::testing::Test {
protected:
    void SetUp() override {
        test_support::CopyInstallData(home_);
        mixer_.word = kDeviceWord;
    }
    void Make() {
        MainFormSetup setup = test_support::WindowSetup(home_, &prompt_, &mixer_);
        form_ = std::make_unique<TMainForm>(setup);
        frmVal_ = new TFrmVal(form_.get());
        RunDialogs dialogs;
        dialogs.frmVal = frmVal_;
        form_->AttachRunDialogs(dialogs);
    }
    std::string Option() const {
        const std::string ini = rig::ReadFile(home_ / "Sonmira.INI");
        return ini.substr(0, ini.find("[Device]"));
    }
    // Opens the dialog from its button; `act` runs while it is shown, the dialog's track-bar position before.
    int RunDialog(std::function<void()> act) {
        int shownAt = -1;
        QTimer::singleShot(0, [&] {
            shownAt = frmVal_->TrackBar1()->value();
            act();
        });
        form_->findChild<QAction*>("ToolButton19")->trigger();
        return shownAt;
    }

    test_support::TempDir home_{"sonmira-volume"};
    ScriptedPrompt prompt_{messages::MsgAnswer::No};
    test_support::FakeMixer mixer_;
    std::unique_ptr<TMainForm> form_;
    TFrmVal* frmVal_ = nullptr;
};

TEST_F(VolumeTest, theDialogsOkStoresAndAppliesTheLevelCancelChangesNothingAndExitRestoresTheDevice) {
    const std::string shipped = rig::ReadFile(kOut + "Sonmira.INI");
    test_support::WriteBytes(home_ / "Sonmira.INI", "[Option]\r\nComProgram=0\r\nComChip=0\r\nWavVal=8\r\n\r\n" +
                                                        shipped.substr(shipped.find("[Device]")));
    Make();
    EXPECT_EQ(mixer_.writes, std::vector<uint32_t>{(136u << 8) | (136u << 24)});
    EXPECT_EQ(frmVal_->windowTitle(), "音量设置");
    EXPECT_EQ(frmVal_->size(), QSize(313, 112));
    EXPECT_TRUE(frmVal_->OKBtn()->isDefault());

    EXPECT_EQ(RunDialog([this] {
                  frmVal_->TrackBar1()->setValue(3);
                  QTest::mouseClick(frmVal_->Button1(), Qt::LeftButton);
              }),
              8);
    EXPECT_EQ(Option(), "[Option]\r\nComProgram=0\r\nComChip=0\r\nWavVal=8\r\n\r\n");
    EXPECT_EQ(mixer_.writes.size(), 1u);

    EXPECT_EQ(RunDialog([this] {
                  frmVal_->TrackBar1()->setValue(3);
                  QTest::mouseClick(frmVal_->OKBtn(), Qt::LeftButton);
              }),
              8);
    EXPECT_EQ(Option(), "[Option]\r\nComProgram=0\r\nComChip=0\r\nWavVal=3\r\n\r\n");
    EXPECT_EQ(mixer_.word, (51u << 8) | (51u << 24));
    EXPECT_EQ(RunDialog([this] { frmVal_->close(); }), 3);  // the close box: nothing changes
    EXPECT_EQ(mixer_.writes.size(), 2u);

    form_->close();
    EXPECT_EQ(mixer_.word, kDeviceWord);
    EXPECT_TRUE(prompt_.Texts().empty());
}

TEST_F(VolumeTest, aMissingLevelIsTakenFromASilentDeviceAsFullAndKept) {
    mixer_.word = 0;
    Make();
    EXPECT_EQ(mixer_.writes, std::vector<uint32_t>{(255u << 8) | (255u << 24)});
    EXPECT_NE(Option().find("\r\nWavVal=15\r\n"), std::string::npos) << Option();
    form_->close();
    EXPECT_EQ(mixer_.word, 15u);  // a device that read 0 gets 15 back
}

TEST_F(VolumeTest, theAuxButtonTogglesItsStateHintAndImageAndTwoClicksComeBack) {
    Make();
    auto* bar = form_->findChild<QToolBar*>("ToolBar1");
    auto* aux = form_->findChild<QAction*>("ToolButtonAUXRec");
    QWidget* button = bar->widgetForAction(aux);
    auto image = [](const QIcon& icon) { return icon.pixmap(16, 16).toImage(); };
    auto expect = [&](bool pressed, const char* hint, int index) {
        EXPECT_EQ(aux->isChecked(), pressed);
        EXPECT_EQ(aux->toolTip(), QString::fromUtf8(hint) + " (F8)");
        EXPECT_EQ(button->accessibleName(), QString::fromUtf8(hint));
        EXPECT_EQ(image(aux->icon()), image(ImageListIcon(index)));
    };
    expect(false, "启用AUX录音模式", 23);
    QTest::mouseClick(button, Qt::LeftButton);
    expect(true, "关闭AUX录音模式", 22);
    QTest::mouseClick(button, Qt::LeftButton);
    expect(false, "启用AUX录音模式", 23);
    EXPECT_EQ(mixer_.writes.size(), 1u);  // the start's only
}

}  // namespace
