#pragma once

// The two kinds of controls the workbench draws into: a picture box that
// paints a Drawing in its user scale and reports the pointer in that scale,
// and a flexible grid that shows a GridTable.

#include <QTableWidget>
#include <QWidget>

#include <vector>

#include "workbench/drawing.h"
#include "workbench/grids.h"

namespace tavisol::workbench {

class PictureBox : public QWidget {
    Q_OBJECT
public:
    explicit PictureBox(QWidget *parent = nullptr);

    // Shows the drawing (kept by reference: the owner keeps it alive).
    void setDrawing(const Drawing *drawing);
    const Drawing *drawing() const { return drawing_; }

    // Pixel position to the drawing's user scale, and back.
    QPointF toUser(const QPointF &pixel) const;
    QPointF toPixel(double x, double y) const;
    bool hasScale() const;

    // Size in twips (1/1440 inch) as the drawings' size rules take it.
    double widthTwips() const;
    double heightTwips() const;

signals:
    void mousePressed(Qt::MouseButton button, double x, double y);
    void mouseMoved(double x, double y);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    const Drawing *drawing_ = nullptr;
};

class FlexGrid : public QTableWidget {
    Q_OBJECT
public:
    explicit FlexGrid(QWidget *parent = nullptr);

    // The table's fixed rows (row 0 and, in the result tables, the unit row)
    // become the column heads, one line each, and column 0 the row labels,
    // so that neither scrolls away with the data; the fixed cells of column 0
    // stand in the corner. The other cells keep their texts, alignments and
    // colours. Column widths in twips or head characters are applied;
    // column 0 is at least as wide as its width in twips.
    void showTable(const GridTable &table);
    // The selection shows in the cells' own colours (the window and
    // window-text colours) instead of the highlight.
    void setSelectionInNormalColours();
    // Text of the top-left corner (the fixed cells of column 0, one line each).
    QString cornerText() const { return corner_; }
    // Text of a cell in the table's own numbering (row 0 the heads).
    QString cellText(int row, int col) const;
    // Text colour of a cell in the table's own numbering.
    QColor cellForeground(int row, int col) const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    int fixedRows_ = 1;
    std::vector<QStringList> fixedTexts_;  // rows 0 .. fixedRows_ - 1, columns 1..
    QString corner_;
};

} // namespace tavisol::workbench
