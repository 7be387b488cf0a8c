// 校验芯片 and 校验设置... in the main window, against sonmira-modsim as a
// chip that keeps sound, wired through a private sound server: the program
// plays into its default sink "aux_wire", whose monitor the simulator's AUX
// input hears; the simulator plays into "line_wire", whose monitor is the
// input the verification listens on.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include "dialogs/run_progress_dialog.h"
#include "dialogs/verify_progress_dialog.h"
#include "dialogs/verify_results_window.h"
#include "dialogs/verify_settings_dialog.h"
#include "fake_mixer.h"
#include "files/verify_config.h"
#include "main_form.h"
#include "private_sound_server.h"
#include "run_rig.h"
#include "scripted_prompt.h"
#include "test_files.h"
#include "verify_flow.h"
#include "window_setup.h"

namespace {

const std::string kOut = SONMIRA_OUT_DIR "/";
const std::string kHeader = "V1.0,20261208,wendaloprist,SM-1 \xb1\xe0\xb3\xcc\xc6\xf7,SV020A,\r\n";
constexpr int kVerdictColumn = 9;

class VerifyFlowTest : public ::testing::Test {
protected:
    void SetUp() override {
        unsetenv("SONMIRA_AUDIO_SINK");  // the desktop's output: the server's default sink, aux_wire
        std::string error;
        ASSERT_TRUE(server_.Start({"aux_wire", "line_wire"}, &error)) << error;
        std::vector<std::string> options = {"--aux-in", "aux_wire.monitor", "--line-out", "line_wire"};
        for (const auto& o : SimOptions()) options.push_back(o);
        sim_ = std::make_unique<rig::ModSim>(kOut + "sonmira-modsim", "first", options);
        rig::PointPortsAt(sim_->Path());
        test_support::CopyInstallData(home_, {"Sonmira.INI", "sound.dat", "qv.dat"});
        MakeForm();
    }
    void TearDown() override {
        form_.reset();
        sim_.reset();
        server_.Stop();
    }
    virtual std::vector<std::string> SimOptions() const { return {}; }
    void MakeForm() {
        form_.reset();
        form_ = test_support::ShowDownloadWindow(home_, &prompt_, &mixer_, &wait_);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form_.get()));
    }
    void Settings(const std::string& input, bool afterDownload) {
        files::WriteVerifySettings(files::CIniFile(home_ / "Sonmira.INI"), {input, 0.80, afterDownload});
    }
    void OpenRows(const std::vector<std::tuple<bool, int, int>>& rows) {
        ASSERT_TRUE(test_support::WriteToneProject(home_, kHeader, rows));
        form_->findChild<QAction*>("F2")->trigger();
    }
    TVerifyResultsWindow* Results() const { return form_->Verification().Results(); }
    std::vector<std::string> Verdicts() const {
        std::vector<std::string> v;
        QTableWidget* t = Results()->Table();
        for (int r = 0; r < t->rowCount(); ++r) v.push_back(t->item(r, kVerdictColumn)->text().toStdString());
        return v;
    }

    test_support::TempDir home_{"sonmira-verify-ui"};
    test_support::PrivateSoundServer server_;
    ScriptedPrompt prompt_{messages::MsgAnswer::Yes};
    test_support::FakeMixer mixer_;
    std::unique_ptr<rig::ModSim> sim_;
    std::unique_ptr<TMainForm> form_;
    TFrmwWait* wait_ = nullptr;
};

TEST_F(VerifyFlowTest, theCommandIsInTheEditMenuAndOnTheToolBarAfterTheDownload) {
    auto* verify = form_->findChild<QAction*>("Verify1");
    ASSERT_TRUE(verify);
    EXPECT_EQ(verify->text(), "校验芯片(&K)");
    EXPECT_EQ(verify->shortcut(), QKeySequence("Ctrl+K"));
    EXPECT_EQ(form_->findChild<QAction*>("Verify2")->text(), "校验设置(&Y)...");
    auto* button = form_->findChild<QToolButton*>("ToolButtonVerify");
    ASSERT_TRUE(button);
    EXPECT_EQ(button->accessibleName(), "校验芯片");
    EXPECT_FALSE(button->icon().isNull());
    const QList<QAction*> tools = form_->findChild<QToolBar*>("ToolBar1")->actions();
    const auto download = std::find(tools.begin(), tools.end(), form_->findChild<QAction*>("ToolButton8"));
    ASSERT_NE(download, tools.end());
    EXPECT_EQ(*(download + 1), verify);
}

TEST_F(VerifyFlowTest, afterADownloadTheChipIsVerifiedAndEveryRowPasses) {
    Settings("line_wire.monitor", true);
    OpenRows({{true, 0, 600}, {true, 5, 500}});
    form_->findChild<QAction*>("ToolButton8")->trigger();  // returns when the run's dialog closed
    // 下载后校验: the verification follows on its own and ends in the results.
    QTRY_VERIFY_WITH_TIMEOUT(Results() && Results()->isVisible(), 60000);
    EXPECT_EQ(Verdicts(), (std::vector<std::string>{"通过", "通过"}));
    EXPECT_EQ(Results()->Summary()->text(), "2 / 2 段校验通过");
    EXPECT_TRUE(prompt_.Texts().empty());
}

TEST_F(VerifyFlowTest, settingsAreWrittenToTheIniAndComeBackAtTheNextStart) {
    // The first verify without an input opens the settings: chosen and taken.
    OpenRows({{true, 0, 300}});
    QTimer::singleShot(0, [this] {
        TVerifySettingsDialog* d = form_->Verification().SettingsDialog();
        ASSERT_TRUE(d && d->isVisible());
        auto* list = d->findChild<QListWidget*>("InputList");
        for (int i = 0; i < list->count(); ++i)
            if (list->item(i)->text().startsWith("line_wire.monitor")) list->setCurrentRow(i);
        d->findChild<QDoubleSpinBox*>("SimilarityEdit")->setValue(0.75);
        d->findChild<QCheckBox*>("AfterDownloadBox")->setChecked(true);
        d->findChild<QPushButton*>("OKBtn")->click();
    });
    form_->VerifyChipClick();
    const files::VerifySettings s = files::ReadVerifySettings(files::CIniFile(home_ / "Sonmira.INI"));
    EXPECT_EQ(s.input, "line_wire.monitor");
    EXPECT_DOUBLE_EQ(s.minSimilarity, 0.75);
    EXPECT_TRUE(s.afterDownload);
    ASSERT_TRUE(Results());  // and the verification ran

    // The next start shows them again in the dialog.
    MakeForm();
    std::string shown;
    QTimer::singleShot(0, [this, &shown] {
        TVerifySettingsDialog* d = form_->Verification().SettingsDialog();
        ASSERT_TRUE(d);
        shown = d->findChild<QListWidget*>("InputList")->currentItem()->text().toStdString() + "|" +
                d->findChild<QDoubleSpinBox*>("SimilarityEdit")->text().toStdString() + "|" +
                (d->findChild<QCheckBox*>("AfterDownloadBox")->isChecked() ? "on" : "off");
        d->findChild<QPushButton*>("CancelBtn")->click();
    });
    form_->findChild<QAction*>("Verify2")->trigger();
    EXPECT_EQ(shown.substr(0, shown.find(' ')), "line_wire.monitor");
    EXPECT_EQ(shown.substr(shown.find('|')), "|0.75|on");
}

TEST_F(VerifyFlowTest, cancelEndsTheVerificationAtOnceWithoutResults) {
    Settings("line_wire.monitor", false);
    OpenRows({{true, 0, 4000}, {true, 0x20, 300}});
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [this] {
        TVerifyProgress* p = form_->Verification().Progress();
        // Once the module plays the first segment (its play frame is in).
        if (p && p->isVisible() && !sim_->RxHexStartingWith("5A 33").empty())
            QTest::mouseClick(p->Button1(), Qt::LeftButton);
    });
    poll.start(20);
    form_->VerifyChipClick();
    poll.stop();
    EXPECT_FALSE(form_->Verification().Progress()->isVisible());
    EXPECT_FALSE(Results());
    // The run ended with a release, the second segment never played.
    EXPECT_EQ(sim_->RxHexStartingWith("5A 33"), std::vector<std::string>{"5A 33 00 69"});
    QTRY_COMPARE_WITH_TIMEOUT(QString::fromStdString(sim_->RxHex().back()), QString("5A 66 FF C3"), 30000);
}

class UnpluggedVerifyFlowTest : public VerifyFlowTest {
protected:
    std::vector<std::string> SimOptions() const override { return {"--aux-gain", "-90"}; }
};

TEST_F(UnpluggedVerifyFlowTest, aChipProgrammedWithoutSoundFailsEveryRowAsSilent) {
    Settings("line_wire.monitor", false);
    OpenRows({{true, 0, 600}, {true, 5, 500}});
    form_->findChild<QAction*>("ToolButton8")->trigger();
    ASSERT_TRUE(wait_->Run().WaitForWorker(30000));
    form_->findChild<QAction*>("Verify1")->trigger();
    ASSERT_TRUE(Results() && Results()->isVisible());
    EXPECT_EQ(Verdicts(), (std::vector<std::string>{"未通过: 无声", "未通过: 无声"}));
    EXPECT_EQ(Results()->Summary()->text(), "0 / 2 段校验通过");
}

}  // namespace
