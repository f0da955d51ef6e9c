#pragma once

// The two output dialogs: ResultsOutputDialog saves or prints the location results
// window's estimate of several variables, WorkbenchOutputDialog the workbench's estimate of
// its one variable, both in the output format in force. Their boxes are the
// only record of the user's choice; the dispatch reads them as plain data.

#include <QDialog>

#include <array>

#include "outdlg/dispatch.h"

class QCheckBox;
class QGroupBox;
class QPushButton;
class QRadioButton;
class QButtonGroup;
class QVBoxLayout;

namespace tavisol::outdlg {

// The three level options of a dialog: at most one set, all three may be clear.
class LevelOptions {
public:
    QRadioButton *optlev90 = nullptr;
    QRadioButton *optlev95 = nullptr;
    QRadioButton *optlev99 = nullptr;
    QButtonGroup *group = nullptr;

    Level level() const;
    void setLevel(Level level);
    void setEnabled(bool enabled);
};

// What both dialogs share: the monthly output boxes, the level options, the
// "Further Information" boxes and the Save, Print and Cancel buttons, which
// call the dialog's own handlers.
class OutputDialog : public QDialog {
    Q_OBJECT
public:
    virtual void onSaveClicked() = 0;
    virtual void onPrintClicked() = 0;
    virtual void onCancelClicked() = 0;

    // Monthly output boxes.
    QCheckBox *ChkBest = nullptr, *ChkHigh = nullptr, *ChkError = nullptr, *ChkBias = nullptr;
    QCheckBox *ChkSlope = nullptr, *ChkExplVar = nullptr, *ChkAbsGrad = nullptr, *ChkDirGrad = nullptr;
    QCheckBox *ChkLongGrad = nullptr, *ChkLatGrad = nullptr;
    // Further information.
    QCheckBox *chkStat = nullptr, *chkObs = nullptr;
    LevelOptions Levels;
    QPushButton *CmdSave = nullptr, *CmdPrint = nullptr, *CmdCanc = nullptr;

public slots:
    void reject() override;  // Escape and the close box act as Cancel

protected:
    OutputDialog(QWidget *parent, const char *name, const char *title);

    // The monthly boxes into `frame` in their order; `levelsRow`, when given,
    // right after the confidence interval.
    void buildMonthly(QGroupBox *frame, QWidget *levelsRow);
    QGroupBox *buildFurther();
    // The button row at the foot of `top`.
    void buildButtons(QVBoxLayout *top);
    // Enables the monthly and further boxes and the level options.
    void setSharedOutputsEnabled(bool enabled);
    // The ticks of the monthly and further boxes, as the writers take them
    // (no level).
    report::ReportOptions sharedOutputs() const;
    // Whether the ticks give something to save or print.
    virtual bool HasSelection() const = 0;
    // True when something is ticked; otherwise tells the user `refusal`.
    bool SomethingChosen(const char *refusal);

private:
    // A shared box with the option it ticks.
    struct OptionBox {
        QCheckBox *box;
        bool report::ReportOptions::*option;
    };
    std::array<OptionBox, 12> sharedBoxes() const;
};

// "Output of automatic run of several variables".
class ResultsOutputDialog : public OutputDialog {
    Q_OBJECT
public:
    // Builds the dialog and runs its load: centred over the main window, then
    // EnableForFormat with the output format in force.
    explicit ResultsOutputDialog(QWidget *parent = nullptr);

    // Which boxes are free and which values the format fixes.
    void EnableForFormat(int format);
    // Disables Save and Print while the results window recomputes.
    void onActivated();
    void onConfidenceIntervalClicked();
    void onSaveClicked() override;
    void onPrintClicked() override;
    // Unloads the dialog: the next use starts from nothing ticked.
    void onCancelClicked() override;

    // The boxes as the dispatch reads them, with the format, the settings
    // record and the current location in force.
    VariableTicks Variables() const;
    report::ReportOptions Outputs() const;
    OutputRequest Request() const;

    // Variable boxes in variable order.
    std::array<QCheckBox *, VariableBoxCount> VariableBoxes{};
    QCheckBox *chkMean = nullptr, *chkMax = nullptr, *chkMin = nullptr, *chkPrec = nullptr;
    QCheckBox *chkVap = nullptr, *chkPET = nullptr, *chkWind = nullptr, *chkSun = nullptr;

protected:
    bool event(QEvent *e) override;

private:
    bool HasSelection() const override;
    void buildControls();
    void setUp();
    // Brings the location results window up to date and refuses, with the
    // reason, when it holds nothing to save (save) or print.
    bool ResultsToWrite(bool save);
};

// "Output": the workbench's dialog. Cancel and a successful Save only hide
// it, so the ticks and the level stay for the next use.
class WorkbenchOutputDialog : public OutputDialog {
    Q_OBJECT
public:
    explicit WorkbenchOutputDialog(QWidget *parent = nullptr);

    void EnableForFormat(int format);
    // A click of a level user (ChkHigh, chkDay, chkDek, chkThr).
    void onLevelOutputClicked(QCheckBox *box);
    void onSaveClicked() override;
    void onPrintClicked() override;
    void onCancelClicked() override;

    report::ReportOptions Outputs() const;
    OutputRequest Request() const;

    // Finer temporal resolution.
    QCheckBox *chkDek = nullptr, *chkDay = nullptr, *chkThr = nullptr;

private:
    bool HasSelection() const override;
    void buildControls();
    std::array<QCheckBox *, 4> levelUsers() const;
};

} // namespace tavisol::outdlg
