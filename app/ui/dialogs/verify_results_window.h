// TVerifyResultsWindow: what a verification found ("校验结果"), one line per
// segment with its figures and verdict, and how many segments verified.
// Made once and reused; it only shows the outcomes it is given.
#pragma once

#include <QDialog>
#include <vector>

#include "verify/chip_verify.h"

class QLabel;
class QPushButton;
class QTableWidget;

class TVerifyResultsWindow : public QDialog {
    Q_OBJECT
public:
    explicit TVerifyResultsWindow(QWidget* parent = nullptr);

    // Fills the table and shows the window without blocking: the rows name
    // the list's rows, which the user looks up in the main window beside it.
    // minSimilarity and stepMs: the settings the outcomes were judged by (a
    // head or tail fails only beyond one chip step).
    void Show(const std::vector<verify::SegmentOutcome>& outcomes, double minSimilarity,
              int stepMs = verify::CompareSettings{}.stepMs);

    QTableWidget* Table() const { return table_; }
    QLabel* Summary() const { return summary_; }
    QPushButton* CloseBtn() const { return closeBtn_; }

private:
    void FitToTable();

    QTableWidget* table_;
    QLabel* summary_;
    QPushButton* closeBtn_;
};
