#pragma once

// The drawing surface of one monthly chart: paints a ChartDrawing scaled to
// the widget's size.

#include <QWidget>

#include "results/charts.h"

namespace tavisol::results {

class ChartView : public QWidget {
    Q_OBJECT
public:
    explicit ChartView(QWidget *parent = nullptr);

    void setDrawing(ChartDrawing drawing);
    const ChartDrawing &drawing() const { return drawing_; }
    // Clears the surface.
    void clear();

    // Pixel position of a point of the chart's own scale.
    QPointF toPixels(double x, double y) const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    ChartDrawing drawing_;
    bool empty_ = true;
};

} // namespace tavisol::results
