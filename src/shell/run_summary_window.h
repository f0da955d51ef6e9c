#pragma once

// The run summary of a batch run: one line per estimate under a fixed header.

#include <QString>
#include <QStringList>
#include <QWidget>

class QPlainTextEdit;
class QPushButton;

namespace tavisol {

class RunSummaryWindow : public QWidget {
    Q_OBJECT
public:
    static const QString kHeader;

    explicit RunSummaryWindow(QWidget *parent = nullptr);

    // The text becomes the header, then lines[1], lines[2], ... each after a
    // line break; lines[0] is not shown (the batch run fills from index 1).
    // Window events are let through every few milliseconds while it fills.
    void ShowSummaryLines(const QStringList &lines);

    // The whole summary with CR LF line breaks.
    QString text() const;

    QPlainTextEdit *summaryText = nullptr;
    QPushButton *cmdBack = nullptr;

protected:
    void showEvent(QShowEvent *e) override;

private:
    bool placed_ = false;
};

} // namespace tavisol
