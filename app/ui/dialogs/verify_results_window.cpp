#include "dialogs/verify_results_window.h"

#include <QColor>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStringList>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "dialogs/dialog_controls.h"
#include "ui_font.h"
#include "list/address_math.h"

namespace {

enum Column { kRow, kName, kStart, kEnd, kSimilarity, kDelay, kLevel, kHead, kTail, kVerdict, kColumns };

const char* const kHeaders[kColumns] = {"行",       "文件名",   "起始地址", "结束地址", "相似度",
                                        "延迟(ms)", "电平(dB)", "缺头(ms)", "缺尾(ms)", "结果"};

// The core's limit for full-scale samples (segment_compare.cpp): 1 % fails.
constexpr double kMostClipped = 0.01;

const QColor kFailedBackground("#ffd6d6");
const QColor kFailedText("#a00000");

// Cut, not rounded, as the core's reason does: 0.799 must not read as a
// threshold of 0.80 it missed. The small margin keeps 0.29 from reading
// 0.28 through its binary fraction.
QString Similarity(double value) { return QString::number(std::floor(value * 100.0 + 1e-9) / 100.0, 'f', 2); }

QString FailedParts(const verify::SegmentReport& r, double minSimilarity, int stepMs) {
    // Without sound no other figure means anything.
    if (r.silent) return "无声";
    QStringList parts;
    if (r.similarity < minSimilarity)
        parts << "相似度 " + Similarity(r.similarity) + " 低于 " + QString::number(minSimilarity, 'f', 2);
    if (r.headMissingMs > stepMs) parts << QString("缺头 %1 ms").arg(r.headMissingMs);
    if (r.tailMissingMs > stepMs) parts << QString("缺尾 %1 ms").arg(r.tailMissingMs);
    if (r.clipped >= kMostClipped) parts << "削波 " + QString::number(r.clipped * 100.0, 'f', 1) + " %";
    // A comparison that gave up before its figures says why only in words.
    if (parts.isEmpty()) return QString::fromStdString(r.reason);
    return parts.join("，");
}

QString Verdict(const verify::SegmentOutcome& o, double minSimilarity, int stepMs) {
    if (o.report.ok) return "通过";
    if (!o.heard) return "未通过: " + QString::fromStdString(o.report.reason);
    return "未通过: " + FailedParts(o.report, minSimilarity, stepMs);
}

QTableWidgetItem* Cell(const QString& text, bool number = false) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    if (number) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

}  // namespace

TVerifyResultsWindow::TVerifyResultsWindow(QWidget* parent) : QDialog(parent, FixedDialogFlags()) {
    setObjectName("VerifyResultsWindow");
    setWindowTitle("校验结果");
    setFont(SongFont(12));

    table_ = new QTableWidget(0, kColumns, this);
    NameControl(table_, "ResultTable", "校验结果");
    QStringList headers;
    for (const char* h : kHeaders) headers << QString::fromUtf8(h);
    table_->setHorizontalHeaderLabels(headers);
    table_->verticalHeader()->hide();  // the row column names the list's row
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table_->setWordWrap(false);

    summary_ = ValueLabel(this, "SummaryLabel", "校验通过的段数");
    closeBtn_ = new QPushButton("关闭", this);
    NameControl(closeBtn_, "CloseBtn", "关闭");
    closeBtn_->setDefault(true);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(summary_, 1);
    bottom->addWidget(closeBtn_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(table_, 1);
    layout->addLayout(bottom);

    connect(closeBtn_, &QPushButton::clicked, this, &QDialog::reject);
}

void TVerifyResultsWindow::Show(const std::vector<verify::SegmentOutcome>& outcomes, double minSimilarity, int stepMs) {
    table_->clearContents();
    table_->setRowCount(static_cast<int>(outcomes.size()));
    int passed = 0;
    for (int row = 0; row < table_->rowCount(); ++row) {
        const verify::SegmentOutcome& o = outcomes[static_cast<size_t>(row)];
        const verify::SegmentReport& r = o.report;
        passed += r.ok ? 1 : 0;
        QTableWidgetItem* cells[kColumns] = {};
        cells[kRow] = Cell(QString::number(o.segment.row), true);
        cells[kName] = Cell(QString::fromStdString(o.segment.name));
        cells[kStart] = Cell(QString::fromStdString(list::Text(o.segment.start)));
        cells[kEnd] = Cell(QString::fromStdString(list::Text(o.segment.end)));
        cells[kSimilarity] = Cell(o.heard ? Similarity(r.similarity) : "", true);
        cells[kDelay] = Cell(o.heard ? QString::asprintf("%+d", r.delayMs) : "", true);
        cells[kLevel] = Cell(o.heard ? QString::number(r.levelDb, 'f', 1) : "", true);
        cells[kHead] = Cell(o.heard ? QString::number(r.headMissingMs) : "", true);
        cells[kTail] = Cell(o.heard ? QString::number(r.tailMissingMs) : "", true);
        cells[kVerdict] = Cell(Verdict(o, minSimilarity, stepMs));
        // Colour and the verdict's words both tell a failed row.
        if (!r.ok) {
            for (QTableWidgetItem* cell : cells) cell->setBackground(kFailedBackground);
            cells[kVerdict]->setForeground(kFailedText);
        }
        for (int column = 0; column < kColumns; ++column) table_->setItem(row, column, cells[column]);
    }
    ShowValue(summary_, QString("%1 / %2 段校验通过").arg(passed).arg(outcomes.size()));
    FitToTable();
    show();
    raise();
    activateWindow();
}

// Wide enough for every column and tall enough for four to a dozen rows, within the screen.
void TVerifyResultsWindow::FitToTable() {
    // Now, not at the header's next deferred layout: the window's size is
    // taken from these widths before it is shown.
    table_->horizontalHeader()->resizeSections(QHeaderView::ResizeToContents);
    const int frame = 2 * table_->frameWidth();
    const int rows = std::clamp(table_->rowCount(), 4, 12);
    const int tableHeight =
        table_->horizontalHeader()->sizeHint().height() + rows * table_->verticalHeader()->defaultSectionSize() + frame;
    const int tableWidth =
        table_->horizontalHeader()->length() + frame + table_->verticalScrollBar()->sizeHint().width();
    const QMargins m = layout()->contentsMargins();
    const int spacing = layout()->spacing();
    QSize want(tableWidth + m.left() + m.right(),
               tableHeight + spacing + closeBtn_->sizeHint().height() + m.top() + m.bottom());
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        want = want.boundedTo(screen->availableGeometry().size() * 9 / 10);
    resize(want.expandedTo(minimumSizeHint()));
}
