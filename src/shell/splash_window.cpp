#include "shell/splash_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainterPath>
#include <QPainter>
#include <QRadialGradient>
#include <QScreen>
#include <QVBoxLayout>

#include <filesystem>
#include <string>

#include "engine/engine.h"
#include "numfmt/textread.h"
#include "shell/commands.h"
#include "shell/icons.h"
#include "shell/messages.h"
#include "shell/programfolders.h"

namespace tavisol {

namespace {

// The elevation raster: 4320 x 2160 bytes, altitude = byte * 20 - 40 m, 255 water.
constexpr int kRasterWidth = 4320;
constexpr int kRasterHeight = 2160;

QRgb ReliefColour(uchar cell) {
    if (cell == 255)
        return qRgb(38, 84, 150);
    const int metres = cell * 20 - 40;
    struct Stop {
        int metres;
        QColor colour;
    };
    static const Stop stops[] = {
        {0, QColor(70, 130, 70)},     {500, QColor(150, 170, 90)},
        {1500, QColor(170, 130, 80)}, {3000, QColor(130, 100, 80)},
        {4500, QColor(240, 240, 245)},
    };
    if (metres <= stops[0].metres)
        return stops[0].colour.rgb();
    for (std::size_t i = 1; i < std::size(stops); ++i) {
        if (metres <= stops[i].metres) {
            const double t = double(metres - stops[i - 1].metres) /
                             double(stops[i].metres - stops[i - 1].metres);
            const QColor &a = stops[i - 1].colour;
            const QColor &b = stops[i].colour;
            return qRgb(int(a.red() + t * (b.red() - a.red())),
                        int(a.green() + t * (b.green() - a.green())),
                        int(a.blue() + t * (b.blue() - a.blue())));
        }
    }
    return std::end(stops)[-1].colour.rgb();
}

// The relief of the raster, or a null image when there is none of the right
// size. A raster that is there but cannot be read (a pipe, a folder, a device
// in its place) is said in `failure`; it is not waited for.
QImage ReliefPicture(const std::filesystem::path &path, QSize size, QString *failure) {
    std::error_code ec;
    if (!std::filesystem::exists(path, ec))
        return {};
    const std::size_t rasterBytes = std::size_t(kRasterWidth) * kRasterHeight;
    std::string bytes;
    std::uint64_t fileSize = 0;
    if (const auto err = numfmt::ReadFileAt(path, 0, rasterBytes, bytes, &fileSize)) {
        if (failure)
            *failure = QString::fromStdString(*err);
        return {};
    }
    if (fileSize != rasterBytes || bytes.size() != rasterBytes)
        return {};
    const auto *cells = reinterpret_cast<const uchar *>(bytes.data());
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        const int row = y * kRasterHeight / size.height();
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            const int column = x * kRasterWidth / size.width();
            line[x] = ReliefColour(cells[qint64(row) * kRasterWidth + column]);
        }
    }
    return image;
}

QImage DrawnPicture(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, size.height());
    sky.setColorAt(0, QColor(12, 24, 60));
    sky.setColorAt(1, QColor(40, 70, 130));
    p.fillRect(image.rect(), sky);
    const double r = size.height() * 0.42;
    const QPointF c(size.width() / 2.0, size.height() / 2.0);
    QRadialGradient sea(c - QPointF(r / 3, r / 3), r * 1.4);
    sea.setColorAt(0, QColor(110, 170, 230));
    sea.setColorAt(1, QColor(20, 60, 130));
    p.setPen(Qt::NoPen);
    p.setBrush(sea);
    p.drawEllipse(c, r, r);
    // A few land masses, clipped to the globe.
    QPainterPath globe;
    globe.addEllipse(c, r, r);
    p.save();
    p.setClipPath(globe);
    p.setBrush(QColor(86, 140, 76));
    const struct {
        double x, y, rx, ry, angle;
    } lands[] = {{-0.35, -0.35, 0.32, 0.22, -20}, {-0.15, 0.25, 0.16, 0.34, 15},
                 {0.35, -0.25, 0.36, 0.2, 10},    {0.3, 0.3, 0.13, 0.27, -10},
                 {0.75, 0.45, 0.15, 0.1, 0}};
    for (const auto &l : lands) {
        p.save();
        p.translate(c + QPointF(l.x * r, l.y * r));
        p.rotate(l.angle);
        p.drawEllipse(QPointF(0, 0), l.rx * r, l.ry * r);
        p.restore();
    }
    p.restore();
    p.setPen(QPen(QColor(255, 255, 255, 90), 1));
    p.setBrush(Qt::NoBrush);
    for (int i = 1; i < 6; ++i)
        p.drawEllipse(c, r * i / 6.0, r);
    for (int i = -2; i <= 2; ++i) {
        const double y = c.y() + r * i / 3.0;
        const double half = std::sqrt(std::max(0.0, r * r - (y - c.y()) * (y - c.y())));
        p.drawLine(QPointF(c.x() - half, y), QPointF(c.x() + half, y));
    }
    p.setPen(QColor(235, 240, 250));
    QFont title(QStringLiteral("Times New Roman"));
    title.setStyleHint(QFont::Serif);
    title.setPixelSize(size.height() / 9);
    title.setBold(true);
    p.setFont(title);
    p.drawText(QRectF(16, 10, size.width() - 32, size.height() / 6.0),
               Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Tavisol"));
    return image;
}

} // namespace

QImage SplashWindow::SplashPicture(const QString &dataFolder, QSize size, QString *failure) {
    QImage relief =
        ReliefPicture(std::filesystem::path(dataFolder.toStdString()) / engine::ElevationRasterName, size, failure);
    return relief.isNull() ? DrawnPicture(size) : relief;
}

SplashWindow::SplashWindow(std::function<void()> onStart, QWidget *parent)
    : QWidget(parent, Qt::Window), onStart_(std::move(onStart)) {
    setObjectName(QStringLiteral("splashWindow"));
    setWindowTitle(QStringLiteral(" Tavisol, Marovel Tavisol Ver.1.0"));
    setWindowIcon(MakeIcon(IconId::Program));

    Picture = new QLabel(this);
    QString failure;
    Picture->setPixmap(QPixmap::fromImage(SplashPicture(
        QString::fromStdString(dataFolder().string()), QSize(640, 320), &failure)));

    startLabel = new QLabel(QStringLiteral("Start Tavisol"), this);
    startLabel->setObjectName(QStringLiteral("startLabel"));
    QFont f(QStringLiteral("Times New Roman"));
    f.setStyleHint(QFont::Serif);
    f.setPointSize(20);
    f.setBold(true);
    startLabel->setFont(f);
    startLabel->setAlignment(Qt::AlignCenter);
    startLabel->setCursor(Qt::PointingHandCursor);
    startLabel->installEventFilter(this);

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 8);
    column->addWidget(Picture);
    column->addWidget(startLabel);
    adjustSize();
    setFixedSize(size());

    if (QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect s = screen->geometry();
        move(s.left() + (s.width() - width()) / 2, s.top() + (s.height() - height()) / 2);
    }

    if (!failure.isEmpty())
        ShowMessage(this, MsgIcon::Critical, failure);
    RunCommand(Command::WorldMapLoadBoundaries);
    RunCommand(Command::WorldMapLoadCapitals);
}

void SplashWindow::onStartClicked() {
    if (started_)
        return;
    started_ = true;
    startLabel->setText(QStringLiteral("Loading..."));
    startLabel->repaint();
    close();
    if (onStart_)
        onStart_();
}

bool SplashWindow::eventFilter(QObject *watched, QEvent *e) {
    if (watched == startLabel && e->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent *>(e)->button() == Qt::LeftButton) {
        onStartClicked();
        return true;
    }
    return QWidget::eventFilter(watched, e);
}

void SplashWindow::closeEvent(QCloseEvent *e) {
    // Closed with its own close box: nothing was started, so the program ends.
    if (!started_)
        QCoreApplication::quit();
    QWidget::closeEvent(e);
}

} // namespace tavisol
