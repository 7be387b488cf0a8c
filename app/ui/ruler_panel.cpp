#include "ruler_panel.h"

#include <QLabel>
#include <QPainter>

// CGauge: a lime bar without text, 9 pixels high along the panel's bottom.
class RulerPanel::Gauge : public QWidget {
public:
    explicit Gauge(RulerPanel* panel) : QWidget(panel), panel_(panel) {
        setObjectName("CGauge");
        setAccessibleName("编程文件总长度");
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), palette().color(QPalette::Base));
        const list::Gauge& g = panel_->gauge_;
        const int fill = g.maximum > 0 ? static_cast<int>(int64_t{width()} * g.position / g.maximum) : 0;
        p.fillRect(QRect(0, 0, fill, height()), QColor(0, 255, 0));
        p.setPen(palette().color(QPalette::Mid));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }

private:
    RulerPanel* panel_;
};

RulerPanel::RulerPanel(QWidget* parent) : QFrame(parent), cgauge_(new Gauge(this)) {
    setObjectName("Panel3");
    setFixedHeight(list::kPanelHeight);
    setFrameShape(QFrame::NoFrame);
    for (int i = 0; i < list::kTickCount; ++i) {
        auto* tick = new QLabel("|", this);
        tick->setObjectName(QString("L%1").arg(i + 1));
        tick->move(0, list::IsLongTick(i) ? list::kLongTickTop : list::kShortTickTop);
        tick->adjustSize();
        ticks_[static_cast<size_t>(i)] = tick;
    }
    for (int i = 0; i < list::kLabelCount; ++i) {
        auto* label = new QLabel(this);
        label->setObjectName(QString("LT%1").arg(i + 1));
        labels_[static_cast<size_t>(i)] = label;
    }
    ApplyCapacity(0);
}

void RulerPanel::ApplyCapacity(int32_t capacity) {
    list::RelabelForCapacity(capacity, &texts_);
    list::SetMaximumForCapacity(capacity, &gauge_);
    for (int i = 0; i < list::kLabelCount; ++i) {
        QLabel* label = labels_[static_cast<size_t>(i)];
        label->setText(QString::fromStdString(texts_[static_cast<size_t>(i)]));
        label->adjustSize();
    }
    LayOut();
    cgauge_->update();
}

void RulerPanel::ShowExtent(int64_t extent) {
    list::ShowExtent(extent, &gauge_);
    cgauge_->update();
}

void RulerPanel::LayOut() {
    cgauge_->setGeometry(1, height() - list::kGaugeHeight - 1, std::max(0, width() - 2), list::kGaugeHeight);
    const list::Layout l = list::LayOut(cgauge_->width());
    for (int i = 0; i < list::kTickCount; ++i) {
        QLabel* tick = ticks_[static_cast<size_t>(i)];
        tick->move(l.ticks[static_cast<size_t>(i)], tick->y());
    }
    for (int i = 0; i < list::kLabelCount; ++i)
        labels_[static_cast<size_t>(i)]->move(l.labels[static_cast<size_t>(i)], list::kLabelTop);
}

void RulerPanel::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    LayOut();
}
