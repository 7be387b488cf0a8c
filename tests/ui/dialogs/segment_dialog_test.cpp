// The segment properties dialog as the main window runs it: Properties on a
// row, Add file with automatic addressing off, the address box's key filter,
// its two messages and what OK writes into the list.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <functional>

#include "list_grid.h"
#include "fake_mixer.h"
#include "main_form.h"
#include "run_rig.h"
#include "scripted_prompt.h"
#include "screen_reader.h"
#include "dialogs/segment_dialog.h"
#include "test_files.h"
#include "window_setup.h"

namespace fs = std::filesystem;

namespace {

const std::string kSm1Gbk = "SM-1 \xb1\xe0\xb3\xcc\xc6\xf7";
const std::string kRange = "输入的编程地址超出范围,请重新输入！";

class SegmentDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SONMIRA_AUDIO_SINK", "fakesink sync=true", 1);
        test_support::CopyInstallData(home_);
        MainFormSetup setup = test_support::WindowSetup(home_, &prompt_, &mixer_);
        FileDialogs d;
        d.openProject = [this] { return std::optional<std::string>(home_ / "p.QWF"); };
        d.addFile = [this] { return addChoice_; };
        setup.dialogs = d;
        form_ = std::make_unique<TMainForm>(setup);
        frmedit_ = new TFrmedit(form_.get());
        RunDialogs dialogs;
        dialogs.frmedit = frmedit_;
        form_->AttachRunDialogs(dialogs);
        form_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form_.get()));
    }
    // Four segments of 1000 ms (8 addresses each) one after the other.
    void OpenFourRows() {
        std::string rows;
        for (int r = 0; r < 4; ++r) {
            char line[160];
            std::snprintf(line, sizeof line, "1,\xca\xc7,0X%04X,0X%04X,%c.wav,1000,1KB,.wav,t,/x/%c.wav,/x/%c.wav,\r\n",
                          r * 8, r * 8 + 7, 'a' + r, 'a' + r, 'a' + r);
            rows += line;
        }
        test_support::WriteBytes(home_ / "p.QWF", "V1.0,20261208,wendaloprist," + kSm1Gbk + ",SV020A,\r\n" + rows);
        form_->findChild<QAction*>("F2")->trigger();
        ASSERT_EQ(form_->Workspace().list.UsedCount(), 4);
    }
    // Runs `drive` once the dialog is up, from inside its modal loop.
    void WhileOpen(std::function<void()> drive, const std::function<void()>& open) {
        QTimer::singleShot(0, frmedit_, [this, drive] {
            ASSERT_TRUE(frmedit_->isVisible());
            drive();
            if (frmedit_->isVisible()) frmedit_->reject();
        });
        open();
    }
    std::string Cell(int row, int col) const { return form_->Workspace().list.Cell(row, col); }

    test_support::TempDir home_{"sonmira-edit"};
    ScriptedPrompt prompt_{messages::MsgAnswer::No};
    test_support::FakeMixer mixer_;
    std::unique_ptr<TMainForm> form_;
    TFrmedit* frmedit_ = nullptr;
    std::optional<std::string> addChoice_;
};

TEST_F(SegmentDialogTest, editRefusesAboveLastAddressAcceptsPastedTextAndReaddressesTheRowsAfter) {
    OpenFourRows();
    form_->Workspace().autoAddressing = true;
    form_->findChild<ListGrid*>("StringGrid")->SelectRow(2);
    WhileOpen(
        [this] {
            EXPECT_EQ(frmedit_->windowTitle(), "文件资料");
            EXPECT_EQ(frmedit_->size(), QSize(406, 183));
            EXPECT_EQ(frmedit_->FileName()->text(), "b.wav");
            EXPECT_EQ(frmedit_->PlayTime()->text(), "1000 MS");
            // A screen reader reads each value as the label's name, its caption as the description.
            using Said = std::pair<std::string, std::string>;
            EXPECT_EQ(test_support::Spoken(frmedit_->FileName()), Said("b.wav", "文件名称："));
            EXPECT_EQ(test_support::Spoken(frmedit_->FilePathName()), Said("/x/b.wav", "文件路径："));
            EXPECT_EQ(test_support::Spoken(frmedit_->ChangeDate()), Said("t", "修改时间："));
            EXPECT_EQ(test_support::Spoken(frmedit_->PlayTime()), Said("1000 MS", "播放长度："));
            EXPECT_EQ(frmedit_->Eadd()->text(), "0008");
            EXPECT_TRUE(frmedit_->PCheck()->isChecked());
            EXPECT_EQ(frmedit_->focusWidget(), frmedit_->OKBtn());
            QLineEdit* eadd = frmedit_->Eadd();
            eadd->clear();
            eadd->setFocus();
            // Only hexadecimal digits and backspace reach the box; at most four.
            QTest::keyClicks(eadd, "gx 0a-0.2Bz");
            EXPECT_EQ(eadd->text(), "0a02");
            QTest::keyClick(eadd, Qt::Key_Backspace);
            QTest::keyClick(eadd, Qt::Key_Backspace);
            QTest::keyClicks(eadd, "A0");
            EXPECT_EQ(eadd->text(), "0aA0");
            eadd->setText("A0");
            frmedit_->OKBtn()->setFocus();
            QTest::mouseClick(frmedit_->OKBtn(), Qt::LeftButton);
            ASSERT_EQ(prompt_.Texts(), std::vector<std::string>{kRange});
            EXPECT_EQ(prompt_.Boxes()[0].caption, "提示信息");
            EXPECT_TRUE(frmedit_->isVisible());
            EXPECT_EQ(frmedit_->focusWidget(), eadd);
            // A pasted text passes the filter and goes through OK's checks.
            QApplication::clipboard()->setText(" 1a ");
            eadd->selectAll();
            QTest::keyClick(eadd, Qt::Key_V, Qt::ControlModifier);
            EXPECT_EQ(eadd->text(), " 1a ");
            QTest::keyClick(frmedit_, Qt::Key_Return);
            EXPECT_FALSE(frmedit_->isVisible());
        },
        [this] { form_->findChild<QAction*>("E2")->trigger(); });
    EXPECT_EQ(prompt_.Texts().size(), 1u);
    EXPECT_EQ(Cell(1, list::kColStart), "0X0000");
    EXPECT_EQ(Cell(1, list::kColEnd), "0X0007");
    EXPECT_EQ(Cell(2, list::kColStart), "0X001A");
    EXPECT_EQ(Cell(2, list::kColEnd), "0X0021");
    EXPECT_EQ(Cell(3, list::kColStart), "0X0022");
    EXPECT_EQ(Cell(3, list::kColEnd), "0X0029");
    EXPECT_EQ(Cell(4, list::kColStart), "0X002A");
    EXPECT_EQ(Cell(4, list::kColEnd), "0X0031");
    EXPECT_TRUE(form_->Workspace().modified);
}

TEST_F(SegmentDialogTest, lastAddressIsAcceptedWithoutAutomaticAddressingOnlyThatRowChangesAndCancelKeepsAll) {
    OpenFourRows();
    form_->Workspace().autoAddressing = false;
    auto* grid = form_->findChild<ListGrid*>("StringGrid");
    grid->SelectRow(3);
    WhileOpen(
        [this] {
            frmedit_->Eadd()->setText("5");
            QTest::mouseClick(frmedit_->Button1(), Qt::LeftButton);
        },
        [this] { form_->findChild<QAction*>("E2")->trigger(); });
    EXPECT_EQ(Cell(3, list::kColStart), "0X0010");
    EXPECT_FALSE(form_->Workspace().modified);

    WhileOpen(
        [this] {
            frmedit_->Eadd()->setText("9F");
            frmedit_->PCheck()->setChecked(false);
            QTest::mouseClick(frmedit_->OKBtn(), Qt::LeftButton);
        },
        [this] { form_->findChild<QAction*>("E2")->trigger(); });
    EXPECT_TRUE(prompt_.Texts().empty());
    EXPECT_EQ(Cell(3, list::kColStart), "0X009F");
    EXPECT_EQ(Cell(3, list::kColEnd), "0X00A6");
    EXPECT_EQ(Cell(3, list::kColFlag), "0");
    EXPECT_EQ(Cell(3, list::kColFlagText), list::kNo);
    EXPECT_EQ(Cell(4, list::kColStart), "0X0018");
}

TEST_F(SegmentDialogTest, addModeAsksForAnAddressAndAddsAnUnmarkedRow) {
    form_->Workspace().autoAddressing = false;
    const std::string tone = home_ / "t.wav";
    ASSERT_TRUE(rig::MakeTone(tone, 1000, 440));
    addChoice_ = tone;
    WhileOpen(
        [this] {
            EXPECT_EQ(frmedit_->FileName()->text(), "t.wav");
            EXPECT_EQ(frmedit_->Eadd()->text(), "");
            EXPECT_FALSE(frmedit_->PCheck()->isChecked());
            QTest::mouseClick(frmedit_->OKBtn(), Qt::LeftButton);
            EXPECT_EQ(prompt_.Texts(), std::vector<std::string>{"请输入编程地址！"});
            EXPECT_EQ(frmedit_->focusWidget(), frmedit_->Eadd());
            QTest::keyClicks(frmedit_->Eadd(), "10");
            QTest::mouseClick(frmedit_->OKBtn(), Qt::LeftButton);
        },
        [this] { form_->findChild<QAction*>("C1")->trigger(); });
    EXPECT_EQ(Cell(1, list::kColRow), "1");
    EXPECT_EQ(Cell(1, list::kColFlag), "0");
    EXPECT_EQ(Cell(1, list::kColFlagText), list::kNo);
    EXPECT_EQ(Cell(1, list::kColStart), "0X0010");
    EXPECT_EQ(Cell(1, list::kColPath), tone);
}

}  // namespace
