#pragma once

#include <QMainWindow>

class QMdiArea;

namespace tavisol {

// The program's main window: a multiple-document frame.
class MDIForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit MDIForm1(QWidget *parent = nullptr);

    QMdiArea *mdiArea() const { return mdi_; }

private:
    QMdiArea *mdi_ = nullptr;
};

} // namespace tavisol
