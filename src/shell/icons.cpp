#include "shell/icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QtMath>

namespace tavisol {

namespace {

const QColor kInk(48, 48, 56);
const QColor kPaper(250, 250, 246);
const QColor kBlue(52, 110, 190);
const QColor kSea(90, 150, 215);
const QColor kGreen(70, 150, 80);
const QColor kRed(200, 55, 45);
const QColor kOrange(230, 150, 40);
const QColor kGrey(150, 150, 160);

// Every picture is drawn on a 32 x 32 canvas and scaled.
void Document(QPainter &p) {
    QPolygonF page({{7, 3}, {20, 3}, {26, 9}, {26, 29}, {7, 29}});
    p.setBrush(kPaper);
    p.drawPolygon(page);
    p.drawPolyline(QPolygonF({{20, 3}, {20, 9}, {26, 9}}));
}

void Lines(QPainter &p, int x0, int x1, int y0, int count, int step) {
    for (int i = 0; i < count; ++i)
        p.drawLine(x0, y0 + i * step, x1, y0 + i * step);
}

void Printer(QPainter &p) {
    p.setBrush(kPaper);
    p.drawRect(9, 4, 14, 9);
    p.setBrush(kGrey);
    p.drawRoundedRect(4, 12, 24, 11, 2, 2);
    p.setBrush(kPaper);
    p.drawRect(9, 19, 14, 9);
    p.setBrush(kGreen);
    p.drawEllipse(QPointF(24, 16), 1.2, 1.2);
}

void Pin(QPainter &p, QPointF tip, double r, QColor c) {
    QPainterPath path;
    path.moveTo(tip);
    path.cubicTo(tip + QPointF(-r * 1.6, -r * 1.6), tip + QPointF(-r * 1.4, -r * 3.4),
                 tip + QPointF(0, -r * 3.4));
    path.cubicTo(tip + QPointF(r * 1.4, -r * 3.4), tip + QPointF(r * 1.6, -r * 1.6), tip);
    p.setBrush(c);
    p.drawPath(path);
    p.setBrush(kPaper);
    p.drawEllipse(tip + QPointF(0, -r * 2.3), r * 0.5, r * 0.5);
}

void Globe(QPainter &p) {
    p.setBrush(kSea);
    p.drawEllipse(QPointF(16, 16), 12, 12);
    p.setBrush(kGreen);
    p.drawEllipse(QPointF(12, 12), 5, 4);
    p.drawEllipse(QPointF(20, 21), 4, 5);
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(16, 16), 5, 12);
    p.drawLine(4, 16, 28, 16);
}

void Windows(QPainter &p, const QRectF &a, const QRectF &b, const QRectF &c) {
    for (const QRectF &r : {a, b, c}) {
        if (r.isEmpty())
            continue;
        p.setBrush(kPaper);
        p.drawRect(r);
        p.setBrush(kBlue);
        p.drawRect(QRectF(r.left(), r.top(), r.width(), 4));
    }
}

void Paint(QPainter &p, IconId id) {
    QPen pen(kInk, 1.6);
    pen.setJoinStyle(Qt::RoundJoin);
    p.setPen(pen);
    switch (id) {
    case IconId::Save:
        p.setBrush(kBlue);
        p.drawRoundedRect(4, 4, 24, 24, 2, 2);
        p.setBrush(kPaper);
        p.drawRect(9, 4, 14, 9);
        p.setBrush(kGrey);
        p.drawRect(9, 18, 14, 10);
        p.drawLine(19, 6, 19, 11);
        break;
    case IconId::Print:
        Printer(p);
        Lines(p, 12, 20, 22, 2, 3);
        break;
    case IconId::PrinterSetup:
        Printer(p);
        p.setBrush(kOrange);
        p.drawEllipse(QPointF(16, 24), 3, 3);
        break;
    case IconId::Location:
    case IconId::Station:
        p.setBrush(kGreen.lighter(150));
        p.drawEllipse(QPointF(16, 27), 10, 3);
        Pin(p, QPointF(16, 27), 7, id == IconId::Location ? kRed : kOrange);
        break;
    case IconId::WorldMap:
        Globe(p);
        Pin(p, QPointF(22, 15), 3.5, kRed);
        break;
    case IconId::RasterMap:
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 4; ++c) {
                const int v = (r * 3 + c * 5) % 4;
                const QColor cells[] = {kSea, kGreen, kOrange, kGreen.darker(130)};
                p.setBrush(cells[v]);
                p.drawRect(4 + c * 6, 5 + r * 6, 6, 6);
            }
        Pin(p, QPointF(22, 20), 3.5, kRed);
        break;
    case IconId::LocationFile:
        Document(p);
        Lines(p, 11, 22, 14, 4, 4);
        break;
    case IconId::LocationGrid:
        p.setBrush(kPaper);
        p.drawRect(4, 4, 24, 24);
        p.setBrush(kRed);
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c)
                p.drawEllipse(QPointF(9 + c * 7, 9 + r * 7), 1.8, 1.8);
        break;
    case IconId::ViewData:
        p.drawLine(4, 28, 28, 28);
        p.drawLine(4, 28, 4, 4);
        p.setBrush(kBlue);
        p.drawRect(7, 17, 5, 11);
        p.setBrush(kGreen);
        p.drawRect(14, 9, 5, 19);
        p.setBrush(kOrange);
        p.drawRect(21, 13, 5, 15);
        break;
    case IconId::WorkBench:
        p.setBrush(kPaper);
        p.drawRect(3, 3, 18, 18);
        p.setBrush(kRed);
        p.drawEllipse(QPointF(12, 12), 2, 2);
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(16, 16), 7, 7);
        p.setPen(QPen(kInk, 4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(21, 21, 28, 28);
        break;
    case IconId::Help:
    case IconId::About: {
        p.setBrush(id == IconId::Help ? kBlue : kGreen);
        p.drawEllipse(QPointF(16, 16), 13, 13);
        QFont f = p.font();
        f.setBold(true);
        f.setPixelSize(20);
        p.setFont(f);
        p.setPen(kPaper);
        p.drawText(QRectF(3, 3, 26, 26), Qt::AlignCenter,
                   id == IconId::Help ? QStringLiteral("?") : QStringLiteral("i"));
        break;
    }
    case IconId::Index:
        Document(p);
        p.setBrush(kBlue);
        for (int i = 0; i < 4; ++i)
            p.drawRect(10, 12 + i * 4, 2, 2);
        Lines(p, 14, 22, 13, 4, 4);
        break;
    case IconId::Cascade:
        Windows(p, {3, 3, 17, 14}, {8, 9, 17, 14}, {13, 15, 17, 14});
        break;
    case IconId::TileHorizontal:
        Windows(p, {3, 3, 26, 12}, {3, 17, 26, 12}, {});
        break;
    case IconId::TileVertical:
        Windows(p, {3, 3, 12, 26}, {17, 3, 12, 26}, {});
        break;
    case IconId::Coordinate:
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(16, 16), 9, 9);
        p.drawLine(16, 2, 16, 30);
        p.drawLine(2, 16, 30, 16);
        p.setBrush(kRed);
        p.drawEllipse(QPointF(16, 16), 2.5, 2.5);
        break;
    case IconId::Settings: {
        p.setBrush(kGrey);
        QPainterPath gear;
        for (int i = 0; i < 8; ++i) {
            const double a = i * M_PI / 4;
            QTransform t;
            t.translate(16, 16);
            t.rotateRadians(a);
            gear.addPolygon(t.map(QPolygonF(QRectF(-3, -13, 6, 6))));
        }
        gear.addEllipse(QPointF(16, 16), 9, 9);
        p.drawPath(gear.simplified());
        p.setBrush(kPaper);
        p.drawEllipse(QPointF(16, 16), 3.5, 3.5);
        break;
    }
    case IconId::OutputFormat:
        Document(p);
        p.setBrush(kOrange);
        p.drawRect(10, 13, 6, 4);
        Lines(p, 10, 22, 20, 3, 3);
        break;
    case IconId::Program: {
        // The globe with a thermometer: the climate of any point on Earth.
        p.save();
        p.translate(-3, 0);
        Globe(p);
        p.restore();
        p.setBrush(kPaper);
        p.drawRoundedRect(QRectF(22, 3, 6, 20), 3, 3);
        p.setBrush(kRed);
        p.drawEllipse(QPointF(25, 25), 4.5, 4.5);
        p.setPen(Qt::NoPen);
        p.drawRect(QRectF(23.8, 10, 2.4, 13));
        break;
    }
    case IconId::Back: {
        p.setBrush(kGreen);
        QPolygonF arrow({{4, 16}, {15, 5}, {15, 11}, {28, 11}, {28, 21}, {15, 21}, {15, 27}});
        p.drawPolygon(arrow);
        break;
    }
    }
}

} // namespace

QPixmap MakePixmap(IconId id, int size) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    Paint(p, id);
    return pm;
}

QIcon MakeIcon(IconId id) {
    QIcon icon;
    for (int size : {16, 24, 32, 48})
        icon.addPixmap(MakePixmap(id, size));
    return icon;
}

} // namespace tavisol
