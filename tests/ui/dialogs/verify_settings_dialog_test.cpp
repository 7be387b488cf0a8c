// The verification's settings dialog alone: the inputs it lists and the one
// it preselects, what OK returns, what Cancel and Esc leave as it was, OK
// without an input, and what a screen reader hears. With SONMIRA_VERIFY_SHOTS
// set to a folder, its picture is kept there.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <functional>

#include "screen_reader.h"
#include "test_files.h"
#include "dialogs/verify_settings_dialog.h"

namespace {

using audio::SoundOutputKind;

const std::vector<audio::SoundInputInfo> kInputs = {
    {SoundOutputKind::kAlsa, "hw:CARD=Device,DEV=0", "USB 声卡, USB Audio"},
    {SoundOutputKind::kSoundServer, "line_wire.monitor", "Monitor of Null Output"},
    {SoundOutputKind::kSoundServer, "mic_only", ""},
};

struct Shown {
    QStringList texts;
    QList<int> selected;
    double similarity = -1;
    bool afterDownload = false;
    bool okEnabled = false;
};

class VerifySettingsTest : public ::testing::Test {
protected:
    // Runs the dialog on *choice; `act` runs while it is shown, after what it showed is noted.
    bool Run(VerifyChoice* choice, std::function<void()> act) {
        QTimer::singleShot(0, [this, act] {
            shown_ = Shown{};
            for (int i = 0; i < dialog_.InputList()->count(); ++i) {
                shown_.texts << dialog_.InputList()->item(i)->text();
                if (dialog_.InputList()->item(i)->isSelected()) shown_.selected << i;
            }
            shown_.similarity = dialog_.SimilarityEdit()->value();
            shown_.afterDownload = dialog_.AfterDownloadBox()->isChecked();
            shown_.okEnabled = dialog_.OKBtn()->isEnabled();
            act();
            if (dialog_.isVisible()) dialog_.reject();  // a fault must not leave the test waiting
        });
        return dialog_.Run(choice);
    }
    void Click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton); }
    void ClickInput(int row) {
        QListWidget* list = dialog_.InputList();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
    }

    TVerifySettingsDialog dialog_{kInputs};
    Shown shown_;
};

const QStringList kTexts = {"hw:CARD=Device,DEV=0  USB 声卡, USB Audio", "line_wire.monitor  Monitor of Null Output",
                            "mic_only"};

void ExpectSame(const VerifyChoice& a, const VerifyChoice& b) {
    EXPECT_EQ(a.input, b.input);
    EXPECT_DOUBLE_EQ(a.minSimilarity, b.minSimilarity);
    EXPECT_EQ(a.afterDownload, b.afterDownload);
}

TEST_F(VerifySettingsTest, showsTheInputsWithTheCurrentOnePreselectedAndOkReturnsTheEditedValues) {
    VerifyChoice choice{"line_wire.monitor", 0.75, true};
    EXPECT_TRUE(Run(&choice, [this] {
        ClickInput(0);
        // Typed, then stepped past the top: two decimals, 0.01 a step, 1.00 at most.
        dialog_.SimilarityEdit()->selectAll();
        QTest::keyClicks(dialog_.SimilarityEdit(), "0.99");
        QTest::keyClick(dialog_.SimilarityEdit(), Qt::Key_Up);
        QTest::keyClick(dialog_.SimilarityEdit(), Qt::Key_Up);
        QTest::keyClick(dialog_.AfterDownloadBox(), Qt::Key_Space);
        Click(dialog_.OKBtn());
    }));
    EXPECT_EQ(shown_.texts, kTexts);
    EXPECT_EQ(shown_.selected, QList<int>{1});
    EXPECT_DOUBLE_EQ(shown_.similarity, 0.75);
    EXPECT_TRUE(shown_.afterDownload);
    EXPECT_TRUE(shown_.okEnabled);
    ExpectSame(choice, {"hw:CARD=Device,DEV=0", 1.0, false});

    // Reused: the next run starts from the choice, not from the last edit.
    EXPECT_TRUE(Run(&choice, [this] {
        QTest::keyClick(dialog_.SimilarityEdit(), Qt::Key_Down);
        QTest::keyClick(dialog_.InputList(), Qt::Key_Return);  // Enter presses OK
    }));
    EXPECT_EQ(shown_.selected, QList<int>{0});
    ExpectSame(choice, {"hw:CARD=Device,DEV=0", 0.99, false});
}

TEST_F(VerifySettingsTest, anInputNotPluggedInIsShownFirstAndStaysTheChoice) {
    VerifyChoice choice{"hw:CARD=Gone,DEV=0", 0.8, false};
    EXPECT_TRUE(Run(&choice, [this] { Click(dialog_.OKBtn()); }));
    EXPECT_EQ(shown_.texts, QStringList{"hw:CARD=Gone,DEV=0"} + kTexts);
    EXPECT_EQ(shown_.selected, QList<int>{0});
    ExpectSame(choice, {"hw:CARD=Gone,DEV=0", 0.8, false});

    // Once plugged in, it is listed once, in its place.
    dialog_.SetInputs({kInputs[0], {SoundOutputKind::kAlsa, "hw:CARD=Gone,DEV=0", "Back"}});
    EXPECT_FALSE(Run(&choice, [this] { Click(dialog_.CancelBtn()); }));
    EXPECT_EQ(shown_.texts, (QStringList{kTexts[0], "hw:CARD=Gone,DEV=0  Back"}));
    EXPECT_EQ(shown_.selected, QList<int>{1});
}

TEST_F(VerifySettingsTest, cancelAndEscLeaveTheChoiceAsItWas) {
    const VerifyChoice before{"mic_only", 0.85, true};
    VerifyChoice choice = before;
    auto edit = [this] {
        ClickInput(1);
        dialog_.SimilarityEdit()->setValue(0.5);
        QTest::keyClick(dialog_.AfterDownloadBox(), Qt::Key_Space);
    };
    EXPECT_FALSE(Run(&choice, [&] {
        edit();
        Click(dialog_.CancelBtn());
    }));
    EXPECT_EQ(shown_.selected, QList<int>{2});
    ExpectSame(choice, before);

    bool closedByEsc = false;
    EXPECT_FALSE(Run(&choice, [&] {
        edit();
        QTest::keyClick(dialog_.InputList(), Qt::Key_Escape);
        closedByEsc = !dialog_.isVisible();
    }));
    EXPECT_TRUE(closedByEsc);
    ExpectSame(choice, before);
}

TEST_F(VerifySettingsTest, okStaysDisabledUntilAnInputIsChosen) {
    VerifyChoice choice{"", 0.8, false};
    bool enterClosed = true, enabledAfterChoosing = false;
    EXPECT_TRUE(Run(&choice, [&] {
        QTest::keyClick(dialog_.InputList(), Qt::Key_Return);
        enterClosed = !dialog_.isVisible();
        ClickInput(2);
        enabledAfterChoosing = dialog_.OKBtn()->isEnabled();
        Click(dialog_.OKBtn());
    }));
    EXPECT_TRUE(shown_.selected.isEmpty());
    EXPECT_FALSE(shown_.okEnabled);
    EXPECT_FALSE(enterClosed);
    EXPECT_TRUE(enabledAfterChoosing);
    EXPECT_EQ(choice.input, "mic_only");

    // No input on the machine at all: only Cancel leaves.
    dialog_.SetInputs({});
    choice.input.clear();
    EXPECT_FALSE(Run(&choice, [this] { Click(dialog_.CancelBtn()); }));
    EXPECT_TRUE(shown_.texts.isEmpty());
    EXPECT_FALSE(shown_.okEnabled);
    EXPECT_EQ(choice.input, "");
}

TEST_F(VerifySettingsTest, everyControlIsNamedForItsCodeAndForAScreenReader) {
    EXPECT_EQ(dialog_.windowTitle(), "校验设置");
    const std::pair<const char*, std::string> named[] = {{"InputList", "声音输入:"},
                                                         {"SimilarityEdit", "相似度阈值:"},
                                                         {"AfterDownloadBox", "下载后校验"},
                                                         {"OKBtn", "确定"},
                                                         {"CancelBtn", "取消"}};
    for (const auto& [object, spoken] : named) {
        auto* w = dialog_.findChild<QWidget*>(object);
        ASSERT_NE(w, nullptr) << object;
        EXPECT_EQ(test_support::Spoken(w).first, spoken) << object;
    }
    EXPECT_EQ(dialog_.AfterDownloadBox()->text(), "下载后校验");

    test_support::TempDir temp("sonmira-verify-settings");
    const char* kept = std::getenv("SONMIRA_VERIFY_SHOTS");
    const std::string shot = (kept ? std::string(kept) : temp.path()) + "/verify_settings.png";
    VerifyChoice choice{"line_wire.monitor", 0.8, true};
    bool saved = false;
    Run(&choice, [&] { saved = dialog_.grab().save(QString::fromStdString(shot)); });
    EXPECT_TRUE(saved) << shot;
}

}  // namespace
