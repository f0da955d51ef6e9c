#pragma once

// The start window: a picture and the label "Start Tavisol"; a click on the
// label opens the main window.

#include <QImage>
#include <QString>
#include <QWidget>

#include <functional>

class QLabel;

namespace tavisol {

class SplashWindow : public QWidget {
    Q_OBJECT
public:
    // onStart builds and shows the main window; it runs after the splash has
    // closed. The load centres the window on the screen and has the world map
    // load its boundaries and capitals.
    explicit SplashWindow(std::function<void()> onStart, QWidget *parent = nullptr);

    // The label's click: "Loading...", close, then the main window.
    void onStartClicked();

    QLabel *Picture = nullptr;
    QLabel *startLabel = nullptr;

    // The picture: the elevation raster of the data folder seen from above, or
    // a drawn globe when there is none. A raster that is there but cannot be
    // read gives the globe too, and the reason in `failure`.
    static QImage SplashPicture(const QString &dataFolder, QSize size, QString *failure = nullptr);

protected:
    bool eventFilter(QObject *watched, QEvent *e) override;
    void closeEvent(QCloseEvent *e) override;

private:
    std::function<void()> onStart_;
    bool started_ = false;
};

} // namespace tavisol
