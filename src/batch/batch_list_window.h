#pragma once

// The list window ("Process Locations from Grid"): the list of locations that
// the grid dialog and the location-file reader fill, the choices of a batch
// run, a private copy of the estimation settings, and the three buttons that
// run, take a location or cancel. The runs themselves live in batch/runs.h.

#include <QString>

#include <functional>

#include "batch/locations.h"
#include "batch/runs.h"
#include "engine/state.h"
#include "shell/appstate.h"
#include "shell/dialoglogic.h"
#include "shell/fielddialog.h"
#include "shell/settings_controls.h"

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTreeWidget;

namespace tavisol {

class BatchListWindow : public FieldDialog, public SettingsControls {
    Q_OBJECT
public:
    explicit BatchListWindow(QWidget *parent = nullptr);
    ~BatchListWindow() override;

    // Adapts the variable and output choices to an output format.
    void EnableForFormat(int code);

    // At least one variable and one output ticked.
    bool HasBatchSelection() const;
    // The settings boxes into the shared settings, with their checks.
    void ValidateBatchSettings();

    // The runs: the own format into DestinationFolder, the other formats into
    // OutputFileName. Each holds the busy mark and does not start while
    // another computation holds it.
    void processit();
    void ProcessOther();

    void onSaveClicked();
    void onSetLocationClicked();  // Set Location
    void onCancelClicked(); // abort a run, or hide

    // True while a run goes on (the Save button is disabled).
    bool isRunning() const;

    // However the window closes or hides (Cancel, Escape, the frame's close
    // button, any caller), the box with the focus is left first, as a click
    // on Cancel leaves it: what it refused to put in force is said. Not when
    // the program ends.
    void setVisible(bool visible) override;

    // The list.
    void clearLocations();
    void addLocation(const batch::ListEntry &entry);
    batch::LocationList locations() const;
    int locationCount() const;

    // What the runs read at every location (with settingsFields()).
    batch::BatchChoices choices() const;

    QString DestinationFolder;
    QString OutputFileName;

    QTreeWidget *LstStations = nullptr;
    QPushButton *CmdSave = nullptr;
    QPushButton *CmdRun = nullptr;
    QPushButton *CmdCanc = nullptr;

    QCheckBox *chkMean = nullptr, *chkMax = nullptr, *chkMin = nullptr, *chkPrec = nullptr;
    QCheckBox *chkVap = nullptr, *chkPET = nullptr, *chkWind = nullptr, *chkSun = nullptr;
    QCheckBox *ChkBest = nullptr, *ChkHigh = nullptr, *ChkError = nullptr, *ChkBias = nullptr;
    QCheckBox *ChkSlope = nullptr, *ChkExplVar = nullptr, *ChkAbsGrad = nullptr, *ChkDirGrad = nullptr;
    QCheckBox *ChkLongGrad = nullptr, *ChkLatGrad = nullptr;
    QRadioButton *optlev90 = nullptr, *optlev95 = nullptr, *optlev99 = nullptr;
    QRadioButton *optNew = nullptr, *optAppend = nullptr;
    QRadioButton *OptAlt = nullptr, *OptDem = nullptr;
    QCheckBox *chksum = nullptr;

    void onConfidenceIntervalClicked();
    void onNeighboursNeedAltitudeClicked();

protected:
    dialogs::KeyDecision keyDecision(int id, char32_t key) override;
    void fieldLeft(int id) override;
    // The first showing places the window's frame below the main window's
    // menus and toolbar, so that they stay within reach, and within the screen.
    void showEvent(QShowEvent *e) override;

private:
    void buildControls();
    void setUp();
    void setLevel(QRadioButton *level);
    void setRunButtons(bool enabled);
    batch::RunHost makeHost();
    void prepareState();
    // The run with the busy mark held and the run's state and host prepared;
    // while another computation holds the mark, its message instead.
    void runHoldingBusyMark(const std::function<void(batch::RunHost &)> &run);
    std::array<QCheckBox *, 8> variableBoxes() const;
    std::array<QCheckBox *, batch::OutputCount> outputBoxes() const;

    engine::EngineState state_;
    bool placed_ = false;
};

// The single list window, created hidden on first use.
BatchListWindow &ListWindow();
BatchListWindow *ListWindowIfCreated();

// A new filling of the list window's list (the grid dialog, the location-file
// reader). It holds the busy mark from the clearing of the list to its last
// entry, so that no run, other filling or estimate starts on a list that is
// not complete: their "Tavisol Busy" instead. While another computation holds
// the mark the list is left as it is and the message is shown over `parent`.
class ListFill {
public:
    explicit ListFill(QWidget *parent);
    ListFill(const ListFill &) = delete;
    ListFill &operator=(const ListFill &) = delete;

    // The list was cleared and may be filled.
    explicit operator bool() const { return busy_.owns(); }
    void add(const batch::ListEntry &entry);
    // Lets window events through; false when the program is ending, so the
    // filling stops.
    bool letEventsThrough();

private:
    BusyGuard busy_;
};

} // namespace tavisol
