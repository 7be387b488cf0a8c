// Panel3: the time-line ruler under the programming list, the list extent
// on a gauge against the chip's capacity, with its ticks and millisecond labels.
#pragma once

#include <QFrame>
#include <array>

#include "list/ruler.h"

class QLabel;

class RulerPanel : public QFrame {
    Q_OBJECT
public:
    explicit RulerPanel(QWidget* parent = nullptr);

    // The chip's capacity relabels the ruler and becomes the gauge's maximum.
    void ApplyCapacity(int32_t capacity);
    void ShowExtent(int64_t extent);
    // Places ticks and labels for the gauge's present width.
    void LayOut();
    const list::Gauge& GaugeState() const { return gauge_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    class Gauge;
    Gauge* cgauge_;
    std::array<QLabel*, list::kTickCount> ticks_{};
    std::array<QLabel*, list::kLabelCount> labels_{};
    list::LabelTexts texts_ = list::DesignedLabelTexts();
    list::Gauge gauge_;
};
