#include "workbench/pictures_qt.h"

#include <QAbstractButton>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace tavisol::workbench {

namespace {

QColor ToQColor(const Rgb &c) { return QColor(c.r, c.g, c.b); }

double TwipsPerPixel(const QWidget *w) {
    const int dpi = w->logicalDpiY();
    return dpi > 0 ? 1440.0 / dpi : 15.0;
}

} // namespace

PictureBox::PictureBox(QWidget *parent) : QWidget(parent) {
    setMouseTracking(true);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);
}

void PictureBox::setDrawing(const Drawing *drawing) {
    drawing_ = drawing;
    update();
}

bool PictureBox::hasScale() const {
    if (!drawing_)
        return false;
    const double w = drawing_->ScaleWidth(), h = drawing_->ScaleHeight();
    return std::isfinite(w) && std::isfinite(h) && w != 0 && h != 0;
}

QPointF PictureBox::toUser(const QPointF &pixel) const {
    if (!hasScale())
        return {};
    const Drawing &d = *drawing_;
    return {d.left + pixel.x() / width() * d.ScaleWidth(), d.top + pixel.y() / height() * d.ScaleHeight()};
}

QPointF PictureBox::toPixel(double x, double y) const {
    const Drawing &d = *drawing_;
    return {(x - d.left) / d.ScaleWidth() * width(), (y - d.top) / d.ScaleHeight() * height()};
}

double PictureBox::widthTwips() const { return width() * TwipsPerPixel(this); }
double PictureBox::heightTwips() const { return height() * TwipsPerPixel(this); }

void PictureBox::paintEvent(QPaintEvent *) {
    if (!hasScale())
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing, false);
    const double pxPerX = std::abs(width() / drawing_->ScaleWidth());
    for (const DrawItem &i : drawing_->items) {
        switch (i.kind) {
        case DrawItem::Kind::Line:
            p.setPen(ToQColor(i.color));
            p.drawLine(toPixel(i.x1, i.y1), toPixel(i.x2, i.y2));
            break;
        case DrawItem::Kind::Box: {
            const QRectF r = QRectF(toPixel(i.x1, i.y1), toPixel(i.x2, i.y2)).normalized();
            // Cells are filled outline included, so neighbours meet without gaps.
            p.fillRect(r.adjusted(0, 0, 1, 1), ToQColor(i.fill));
            break;
        }
        case DrawItem::Kind::Circle: {
            const double r = i.radius * pxPerX;
            p.setPen(ToQColor(i.color));
            if (i.filled)
                p.setBrush(ToQColor(i.fill));
            else
                p.setBrush(Qt::NoBrush);
            p.drawEllipse(toPixel(i.x1, i.y1), r, r);
            p.setBrush(Qt::NoBrush);
            break;
        }
        case DrawItem::Kind::Text: {
            QFont f(QStringLiteral("Arial"));
            f.setPointSizeF(i.fontSize);
            p.setFont(f);
            p.setPen(ToQColor(i.color));
            const QFontMetricsF fm(f);
            QPointF at = toPixel(i.x1, i.y1);
            at.setY(at.y() + i.line * fm.height() + fm.ascent());
            p.drawText(at, QString::fromStdString(i.text));
            break;
        }
        }
    }
}

void PictureBox::mousePressEvent(QMouseEvent *event) {
    if (!hasScale())
        return;
    const QPointF u = toUser(event->position());
    emit mousePressed(event->button(), u.x(), u.y());
}

void PictureBox::mouseMoveEvent(QMouseEvent *event) {
    if (!hasScale())
        return;
    const QPointF u = toUser(event->position());
    emit mouseMoved(u.x(), u.y());
}

// ---- FlexGrid -------------------------------------------------------------------

FlexGrid::FlexGrid(QWidget *parent) : QTableWidget(parent) {
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    verticalHeader()->setDefaultSectionSize(18);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setHighlightSections(false);
    verticalHeader()->setHighlightSections(false);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    if (auto *cornerButton = findChild<QAbstractButton *>())
        cornerButton->installEventFilter(this);
}

void FlexGrid::setSelectionInNormalColours() {
    QPalette p = palette();
    p.setColor(QPalette::Highlight, p.color(QPalette::Base));
    p.setColor(QPalette::HighlightedText, p.color(QPalette::Text));
    setPalette(p);
}

bool FlexGrid::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() != QEvent::Paint || !qobject_cast<QAbstractButton *>(watched))
        return QTableWidget::eventFilter(watched, event);
    auto *button = static_cast<QWidget *>(watched);
    QPainter p(button);
    const QRect r = button->rect();
    p.fillRect(r, palette().color(QPalette::Button));
    p.setPen(palette().color(QPalette::Mid));
    p.drawLine(r.topRight(), r.bottomRight());
    p.drawLine(r.bottomLeft(), r.bottomRight());
    p.setPen(palette().color(QPalette::ButtonText));
    p.setFont(horizontalHeader()->font());
    p.drawText(r, Qt::AlignCenter, corner_);
    return true;
}

void FlexGrid::showTable(const GridTable &t) {
    setUpdatesEnabled(false);
    const int fixed = std::clamp(t.FixedRows, 1, std::max(1, t.Rows()));
    const int rows = std::max(0, t.Rows() - fixed), cols = std::max(0, t.Cols() - 1);
    if (rowCount() != rows)
        setRowCount(rows);
    if (columnCount() != cols)
        setColumnCount(cols);
    const QPalette pal = palette();
    const QFontMetrics fm(font());
    QStringList heads, labels, cornerLines;
    fixedRows_ = fixed;
    fixedTexts_.assign(static_cast<std::size_t>(fixed), QStringList());
    for (int r = 0; r < fixed && r < t.Rows(); ++r) {
        cornerLines << QString::fromStdString(t.Text(r, 0));
        for (int c = 1; c < t.Cols(); ++c)
            fixedTexts_[static_cast<std::size_t>(r)] << QString::fromStdString(t.Text(r, c));
    }
    for (int c = 1; c < t.Cols(); ++c) {
        QStringList lines;
        for (int r = 0; r < fixed && r < t.Rows(); ++r)
            lines << fixedTexts_[static_cast<std::size_t>(r)][c - 1];
        heads << lines.join(QLatin1Char('\n'));
    }
    for (int r = fixed; r < t.Rows(); ++r)
        labels << QString::fromStdString(t.Text(r, 0));
    corner_ = cornerLines.join(QLatin1Char('\n'));
    setHorizontalHeaderLabels(heads);
    setVerticalHeaderLabels(labels);
    for (int r = fixed; r < t.Rows(); ++r) {
        for (int c = 1; c < t.Cols(); ++c) {
            const GridCell &cell = t.At(r, c);
            QTableWidgetItem *item = this->item(r - fixed, c - 1);
            if (!item) {
                item = new QTableWidgetItem;
                setItem(r - fixed, c - 1, item);
            }
            item->setText(QString::fromStdString(cell.text));
            switch (cell.align) {
            case CellAlign::Center: item->setTextAlignment(Qt::AlignCenter); break;
            case CellAlign::LeftCenter: item->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter); break;
            case CellAlign::Default: item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter); break;
            }
            switch (cell.look) {
            case CellLook::Normal:
                item->setBackground(pal.color(QPalette::Base));
                item->setForeground(pal.color(QPalette::Text));
                break;
            case CellLook::Fixed:
                item->setBackground(pal.color(QPalette::Button));
                item->setForeground(pal.color(QPalette::ButtonText));
                break;
            case CellLook::Inactive:
                item->setBackground(pal.color(QPalette::Base));
                item->setForeground(QColor(255, 0, 0));
                break;
            }
        }
    }
    auto widthOf = [&](int c) {
        const auto i = static_cast<std::size_t>(c);
        if (i < t.WidthTwips.size() && t.WidthTwips[i] > 0)
            return t.WidthTwips[i] * logicalDpiX() / 1440;
        if (i < t.WidthChars.size() && t.WidthChars[i] > 0)
            return fm.horizontalAdvance(QLatin1Char('0')) * t.WidthChars[i] + 10;
        return 0;
    };
    for (int c = 1; c < t.Cols(); ++c)
        if (const int px = widthOf(c); px > 0)
            setColumnWidth(c - 1, px);
    // The label column: its width, but never cutting a label or the corner.
    if (t.Cols() > 0 && t.WidthTwips.size() > 0 && t.WidthTwips[0] > 0)
        verticalHeader()->setMinimumWidth(widthOf(0));
    setUpdatesEnabled(true);
}

QString FlexGrid::cellText(int row, int col) const {
    if (row < 0 || col < 0)
        return {};
    if (row < fixedRows_) {
        if (col == 0) {
            const QStringList lines = corner_.split(QLatin1Char('\n'));
            return row < lines.size() ? lines[row] : QString();
        }
        const QStringList &texts = fixedTexts_[static_cast<std::size_t>(row)];
        return col - 1 < texts.size() ? texts[col - 1] : QString();
    }
    if (col == 0) {
        const QTableWidgetItem *h = verticalHeaderItem(row - fixedRows_);
        return h ? h->text() : QString();
    }
    const QTableWidgetItem *i = item(row - fixedRows_, col - 1);
    return i ? i->text() : QString();
}

QColor FlexGrid::cellForeground(int row, int col) const {
    if (row < fixedRows_)
        return palette().color(QPalette::ButtonText);
    const QTableWidgetItem *i = item(row - fixedRows_, col - 1);
    return i ? i->foreground().color() : QColor();
}

} // namespace tavisol::workbench
