#include "results/chartview.h"

#include <QFontMetricsF>
#include <QPainter>

namespace tavisol::results {

ChartView::ChartView(QWidget *parent) : QWidget(parent) {
    QFont f(QStringLiteral("Courier New"));
    f.setStyleHint(QFont::TypeWriter);
    f.setPointSizeF(8.25);
    f.setBold(true);
    setFont(f);
    setAutoFillBackground(true);
    setMinimumSize(200, 150);
}

void ChartView::setDrawing(ChartDrawing drawing) {
    drawing_ = std::move(drawing);
    empty_ = false;
    update();
}

void ChartView::clear() {
    drawing_ = ChartDrawing{};
    empty_ = true;
    update();
}

QPointF ChartView::toPixels(double x, double y) const {
    const ChartDrawing &d = drawing_;
    const double w = d.right - d.left;
    const double h = d.top - d.bottom;
    const double px = w != 0 ? (x - d.left) / w * width() : 0;
    const double py = h != 0 ? (d.top - y) / h * height() : 0;
    return {px, py};
}

void ChartView::paintEvent(QPaintEvent *) {
    if (empty_)
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setFont(font());
    const QColor foreground = palette().color(QPalette::WindowText);
    const QFontMetricsF metrics(font());
    for (const ChartItem &item : drawing_.items) {
        const QColor colour = item.colour ? QColor(item.colour->r, item.colour->g, item.colour->b) : foreground;
        QPen pen(colour);
        pen.setWidth(item.width);
        // Square ends close the corners of the thick staircase curves.
        pen.setCapStyle(item.width > 1 ? Qt::SquareCap : Qt::FlatCap);
        p.setPen(pen);
        switch (item.kind) {
        case ChartItem::Kind::Line:
            p.drawLine(toPixels(item.x1, item.y1), toPixels(item.x2, item.y2));
            break;
        case ChartItem::Kind::Point:
            p.drawPoint(toPixels(item.x1, item.y1));
            break;
        case ChartItem::Kind::Text: {
            // The position is the text's top-left corner.
            const QPointF at = toPixels(item.x1, item.y1);
            p.drawText(QPointF(at.x(), at.y() + metrics.ascent()), QString::fromStdString(item.text));
            break;
        }
        }
    }
}

} // namespace tavisol::results
