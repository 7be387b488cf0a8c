// The verification's results window alone: every cell's text for outcomes
// that pass, fail in each way or were never heard, the colour of failed rows,
// the count under the table, and the window reused for a clean run. With
// SONMIRA_VERIFY_SHOTS set to a folder, its pictures are kept there.
#include <gtest/gtest.h>

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>
#include <cstdlib>

#include "screen_reader.h"
#include "test_files.h"
#include "dialogs/verify_results_window.h"

namespace {

const QColor kRed("#ffd6d6");
const QColor kDarkRed("#a00000");

verify::SegmentOutcome Outcome(int row, const char* name, int32_t start, int32_t end) {
    verify::SegmentOutcome o;
    o.segment.row = row;
    o.segment.name = name;
    o.segment.start = start;
    o.segment.end = end;
    return o;
}

verify::SegmentOutcome Heard(verify::SegmentOutcome o, double similarity, int delayMs, double levelDb, int head,
                             int tail) {
    o.heard = true;
    o.report.similarity = similarity;
    o.report.delayMs = delayMs;
    o.report.levelDb = levelDb;
    o.report.headMissingMs = head;
    o.report.tailMissingMs = tail;
    return o;
}

// One that verified, one silent, one too unlike its file with its head
// missing, one whose file did not decode.
std::vector<verify::SegmentOutcome> MixedRun() {
    verify::SegmentOutcome ok = Heard(Outcome(1, "rise.wav", 0, 9), 0.98, 63, -2.1, 0, 0);
    ok.report.ok = true;
    verify::SegmentOutcome silent = Heard(Outcome(2, "欢迎光临.wav", 10, 0x11), 0, 0, 0, 0, 0);
    silent.report.silent = true;
    silent.report.reason = "silent";
    verify::SegmentOutcome unlike = Heard(Outcome(3, "tune.mid", 0x12, 0x1F), 0.31, -375, -3.24, 375, 0);
    unlike.report.reason = "similarity 0.31 below 0.80, head 375 ms missing";
    verify::SegmentOutcome unheard = Outcome(4, "gone.wav", 0x20, 0x27);
    unheard.report.reason = "the file does not decode: no such file";
    return {ok, silent, unlike, unheard};
}

QStringList RowTexts(QTableWidget* table, int row) {
    QStringList texts;
    for (int column = 0; column < table->columnCount(); ++column) texts << table->item(row, column)->text();
    return texts;
}

class VerifyResultsTest : public ::testing::Test {
protected:
    void Save(const char* name) {
        const char* kept = std::getenv("SONMIRA_VERIFY_SHOTS");
        const QString path = QString::fromStdString(kept ? std::string(kept) : temp_.path()) + "/" + name;
        EXPECT_TRUE(window_.grab().save(path)) << path.toStdString();
    }

    test_support::TempDir temp_{"sonmira-verify-results"};
    TVerifyResultsWindow window_;
};

TEST_F(VerifyResultsTest, eachOutcomeGivesItsFiguresAndVerdictAndFailedRowsStandOut) {
    window_.Show(MixedRun(), 0.80);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window_));
    QTableWidget* table = window_.Table();
    EXPECT_EQ(window_.windowTitle(), "校验结果");
    QStringList headers;
    for (int column = 0; column < table->columnCount(); ++column)
        headers << table->horizontalHeaderItem(column)->text();
    EXPECT_EQ(headers, (QStringList{"行", "文件名", "起始地址", "结束地址", "相似度", "延迟(ms)", "电平(dB)",
                                    "缺头(ms)", "缺尾(ms)", "结果"}));
    ASSERT_EQ(table->rowCount(), 4);
    EXPECT_EQ(RowTexts(table, 0),
              (QStringList{"1", "rise.wav", "0X0000", "0X0009", "0.98", "+63", "-2.1", "0", "0", "通过"}));
    EXPECT_EQ(RowTexts(table, 1),
              (QStringList{"2", "欢迎光临.wav", "0X000A", "0X0011", "0.00", "+0", "0.0", "0", "0", "未通过: 无声"}));
    EXPECT_EQ(RowTexts(table, 2), (QStringList{"3", "tune.mid", "0X0012", "0X001F", "0.31", "-375", "-3.2", "375", "0",
                                               "未通过: 相似度 0.31 低于 0.80，缺头 375 ms"}));
    EXPECT_EQ(RowTexts(table, 3), (QStringList{"4", "gone.wav", "0X0020", "0X0027", "", "", "", "", "",
                                               "未通过: the file does not decode: no such file"}));

    for (int column = 0; column < table->columnCount(); ++column) {
        EXPECT_EQ(table->item(0, column)->data(Qt::BackgroundRole), QVariant()) << column;
        for (int row = 1; row < 4; ++row)
            EXPECT_EQ(table->item(row, column)->background().color(), kRed) << row << "," << column;
    }
    EXPECT_EQ(table->item(0, 9)->data(Qt::ForegroundRole), QVariant());
    for (int row = 1; row < 4; ++row) EXPECT_EQ(table->item(row, 9)->foreground().color(), kDarkRed) << row;

    EXPECT_EQ(window_.Summary()->text(), "1 / 4 段校验通过");
    EXPECT_EQ(test_support::Spoken(window_.Summary()).first, "1 / 4 段校验通过");
    EXPECT_EQ(test_support::Spoken(table).first, "校验结果");
    EXPECT_EQ(test_support::Spoken(window_.CloseBtn()).first, "关闭");
    EXPECT_EQ(table->objectName(), "ResultTable");
    EXPECT_EQ(window_.Summary()->objectName(), "SummaryLabel");
    EXPECT_EQ(window_.CloseBtn()->objectName(), "CloseBtn");
    // Every column whole, without scrolling sideways.
    EXPECT_EQ(table->horizontalScrollBar()->maximum(), 0);
    Save("verify_results_failed.png");
}

TEST_F(VerifyResultsTest, theVerdictNamesOnlyWhatFailedByTheThresholdAndStepItWasJudgedBy) {
    // A head of exactly one step and clipping under 1 %: not reasons.
    verify::SegmentOutcome tail = Heard(Outcome(1, "a.wav", 0, 3), 0.9, 5, -1, 250, 260);
    tail.report.clipped = 0.0099;
    // A similarity just under the threshold is cut, never shown as the threshold.
    verify::SegmentOutcome close = Heard(Outcome(2, "b.wav", 4, 7), 0.7499, 0, 0, 0, 0);
    close.report.clipped = 0.032;
    verify::SegmentOutcome three = Heard(Outcome(3, "c.wav", 8, 9), 0.29, 0, 0, 251, 300);
    three.report.clipped = 0.01;
    // A comparison that ended before any figure says why in its own words.
    verify::SegmentOutcome empty = Heard(Outcome(4, "d.wav", 10, 11), 0.9, 0, 0, 0, 0);
    empty.report.reason = "nothing to compare";
    window_.Show({tail, close, three, empty}, 0.75, 250);
    QTableWidget* table = window_.Table();
    ASSERT_EQ(table->rowCount(), 4);
    EXPECT_EQ(table->item(0, 9)->text(), "未通过: 缺尾 260 ms");
    EXPECT_EQ(table->item(1, 4)->text(), "0.74");
    EXPECT_EQ(table->item(1, 9)->text(), "未通过: 相似度 0.74 低于 0.75，削波 3.2 %");
    EXPECT_EQ(table->item(2, 9)->text(), "未通过: 相似度 0.29 低于 0.75，缺头 251 ms，缺尾 300 ms，削波 1.0 %");
    EXPECT_EQ(table->item(3, 9)->text(), "未通过: nothing to compare");
    EXPECT_EQ(window_.Summary()->text(), "0 / 4 段校验通过");
}

TEST_F(VerifyResultsTest, theTableIsReadOnlySelectsWholeRowsAndTheWindowIsReusedAndClosedByEscOrClose) {
    window_.Show(MixedRun(), 0.80);
    QTableWidget* table = window_.Table();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window_));
    const QRect cell = table->visualItemRect(table->item(2, 1));
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::keyClick(table, Qt::Key_F2);
    EXPECT_EQ(table->findChild<QLineEdit*>(), nullptr);  // no editor opened
    EXPECT_EQ(table->item(2, 1)->text(), "tune.mid");
    const QModelIndexList rows = table->selectionModel()->selectedRows();
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0].row(), 2);
    EXPECT_EQ(table->selectionModel()->selectedIndexes().size(), table->columnCount());

    QTest::keyClick(table, Qt::Key_Escape);
    EXPECT_FALSE(window_.isVisible());

    // A later clean run replaces every line: nothing red is left over.
    std::vector<verify::SegmentOutcome> clean = MixedRun();
    clean.resize(1);
    verify::SegmentOutcome second = Heard(Outcome(2, "欢迎光临.wav", 10, 0x11), 0.95, 41, -3.2, 0, 0);
    second.report.ok = true;
    clean.push_back(second);
    window_.Show(clean, 0.80);
    EXPECT_TRUE(window_.isVisible());
    ASSERT_EQ(table->rowCount(), 2);
    EXPECT_EQ(RowTexts(table, 1),
              (QStringList{"2", "欢迎光临.wav", "0X000A", "0X0011", "0.95", "+41", "-3.2", "0", "0", "通过"}));
    for (int row = 0; row < 2; ++row)
        for (int column = 0; column < table->columnCount(); ++column)
            EXPECT_EQ(table->item(row, column)->data(Qt::BackgroundRole), QVariant()) << row << "," << column;
    EXPECT_EQ(window_.Summary()->text(), "2 / 2 段校验通过");
    EXPECT_EQ(test_support::Spoken(window_.Summary()).first, "2 / 2 段校验通过");
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window_));
    table->clearSelection();
    Save("verify_results_clean.png");

    QTest::mouseClick(window_.CloseBtn(), Qt::LeftButton);
    EXPECT_FALSE(window_.isVisible());
}

}  // namespace
