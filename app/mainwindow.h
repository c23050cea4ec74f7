// The main window: the formula line, the view and interval controls, the
// simulation timer and the plot, with the slots that steer them. Its code is
// split by concern:
//   mainwindow.cpp    construction, the menus and actions, the wiring, events
//   controlpanel.cpp     the panels and controls, names, tab order, start options
//   drawrequest.cpp      the draw request, the interval fields, the background fill
//   viewcontrols.cpp     angles, size, colour scale, Q, check boxes, colours, zoom
//   pointer.cpp          the wheel, the turn by drag and the read-out
//   simulationtimer.cpp  the simulation's timer and its tick
//   windowexports.cpp    the picture and data exports
#pragma once

#include <QElapsedTimer>
#include <QLineEdit>
#include <QMainWindow>
#include <QTimer>

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/backgroundfill.h"
#include "app/formulafeedback.h"
#include "app/formulaline.h"
#include "app/sampling.h"
#include "app/viewstate.h"
#include "plot/plot3d.h"

class QAction;
class QActionGroup;
class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QHelpEvent;
class QLabel;
class QMenuBar;
class QProgressBar;
class QPushButton;
class QWidget;
class PlotWidget;
class HelpWindow;
class LineHistory;
class QSettings;
class SpinField;
namespace surfaceoptions {
struct SurfaceOptions;
}

class MainWindow : public QMainWindow {
    Q_OBJECT

  public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // Client area below the menu bar as the window starts; it can be
    // resized down to MinimumClientSize, where every control still shows.
    static constexpr int ClientWidth = 1008;
    static constexpr int ClientHeight = 709;
    static constexpr QSize MinimumClientSize{640, 574};

    TPlot3D& Plot();
    // The formula last drawn, the display mode and the sweep direction.
    const ViewState& State() const;
    // Sets the direction of the Q sweep's next step.
    void SetSweepUp(bool up);
    // The simulation's clock: runs between two presses of "Simulation" or F2.
    const QTimer& SimulationTimer() const;
    // False only before the plot view is set up and while a wheel step
    // rewrites the fields; a wheel event is ignored while it is false.
    bool IsReady() const;
    void SetReady(bool ready);

    // The value of an interval field's text; 0 where the real interpreter
    // does not accept it.
    double FieldValue(QLineEdit* field) const;
    // One simulation step; the timer calls it every 15 ms.
    void SimulationTick();

    // How long a handler waits for its fill before it returns to the event
    // loop and lets the fill finish in the background; a fill done within it
    // is applied inside the handler, as if it had run there.
    std::chrono::milliseconds FillWait{80};
    // True while a fill runs in the background.
    bool FillRunning() const;

    // What the last fill recorded at each grid point.
    const sampling::FillRecord& LastFill() const;
    // The read-out the plot shows as its tooltip at (x, y) in plot
    // coordinates: the grid point nearest the pointer on the cell the hit
    // test finds there, with Z, F(Z), its modulus and angle and the value
    // drawn. Empty when no cell is there.
    QString ReadOut(int x, int y) const;

    // The command line's start options, applied before the window is shown:
    // the formula line, the display mode, the interval fields, the angle and
    // size fields and the three check boxes; Q is already in the
    // interpreters, where the start-up reads it. The first draw shows them.
    void ApplyStartOptions(const surfaceoptions::SurfaceOptions& options);

    // Returns the colour the user chose in the colour dialog, or false when
    // the dialog was cancelled. Tests replace it.
    std::function<bool(TColor initial, TColor& chosen)> ChooseColor;
    // Returns the file name the user chose in a save dialog with the given
    // caption and filters, or an empty text when it was cancelled; the
    // filter the user chose lands in selectedFilter. Tests replace it.
    std::function<QString(const QString& caption, const QString& filters, QString& selectedFilter)>
        ChooseSaveFile;
    // Tells the user why an export failed. Tests replace it.
    std::function<void(const QString& text)> ShowProblem;

  protected:
    // However the window is closed, a running fill and the simulation end
    // first, so that closing never waits for a fill.
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

  private:
    // Construction (mainwindow.cpp, controlpanel.cpp).
    void createPanels();
    void createFormulaPanel();
    void createViewControls();
    void createIntervalControls();
    void createSimulationControls();
    void createActions();
    void createMenus();
    void nameControls();
    void setTabOrder();
    void connectSlots();
    void setUpPlotView();
    void rememberPanelPlaces();
    void layoutPanels();
    void fitPlotView();
    double plotScale() const;

    // Slots. The wiring runs each through the error report.
    void firstShown();
    void quit();
    void drawRequested();
    void displayModeChanged();
    void intervalsChanged(std::function<void()> then = {});
    void viewAngleOrSizeChanged(SpinField* field);
    void colorScaleChanged();
    void qChanged();
    void gridPointsChanged();
    void logHeightToggled();
    void meshToggled();
    void scalesToggled();
    void boxToggled();
    void chooseColor(QAction* which);
    void resetIntervals();
    void zoom(QAction* which);
    void plotTurned(double rotXAngle, double rotZAngle);
    void toggleSimulation();
    void saveImage();
    void copyImage();
    void copyCommandLine();
    void showHelp(int page);
    void createFieldHistories();
    void rememberTexts();
    void coloringChosen();
    void saveData();

    // The draw request and the background fill (drawrequest.cpp).
    // The fill of the state's formula, over the given interval fields' values
    // or the plot's ranges; then holds the handler's remaining steps. A fill
    // that ends within FillWait is applied here and then runs here; a longer
    // one is applied when it ends, then runs then (the plot repaints when
    // there is nothing to run). An error skips then, either way.
    void fill(std::optional<sampling::IntervalValues> intervals, std::function<void()> then = {});
    sampling::IntervalValues readIntervalFields();
    std::array<QLineEdit*, 6> intervalFields() const;
    // What a fill brings to the plot besides its points, taken when it starts.
    struct FillSettings {
        std::string formula;
        std::optional<sampling::IntervalValues> intervals; // none: the plot's ranges
        bool logScale = false;                             // the z scale in powers of ten
    };
    bool applyFill(const sampling::FillResult& result, const FillSettings& settings);
    void fillEnded(std::uint64_t job);
    void cancelFill();
    void endBackgroundFill();
    void showFillProgress();

    // The pointer and the view fields (pointer.cpp, viewcontrols.cpp).
    void wheelStep(bool down);
    void zoomFields(double factor);
    void showPlotReadOut(QHelpEvent* event);
    void reportWrite(const QString& fileName, const QString& failure);

    ViewState m_state;

    // The plot, the panels and the timer. Each control carries an object
    // name of its own, which tests use to find it.
    PlotWidget* m_plotWidget;
    QWidget* m_formulaPanel; // along the bottom
    QWidget* m_controlPanel; // at the right
    QTimer m_simulationTimer;
    QLabel* m_formulaLabel;
    FormulaLine* m_formulaLine;

    // The menu bar and its actions.
    QMenuBar* m_menuBar;
    QAction* m_quitAction;
    QAction* m_drawAction; // Enter: not in the menu bar
    QAction* m_simulationAction;
    QAction* m_viewMenuAction;
    QAction* m_resetAction;
    QAction* m_zoomOutAction; // "Verkleinern": the intervals widen
    QAction* m_zoomInAction;
    QAction* m_colorSeparator;
    QAction* m_highColorAction; // "Farbe 1": the top of the colour scale
    QAction* m_lowColorAction;
    QAction* m_coloringMenuAction;
    QActionGroup* m_colorings; // by height, by phase, by height over the z interval
    QActionGroup* m_wheels;    // even lightness, HSV
    QAction* m_legendAction;
    QAction* m_exportSeparator;
    QAction* m_saveImageAction;
    QAction* m_copyImageAction;
    QAction* m_saveDataAction;
    QAction* m_copyCommandAction;
    QAction* m_helpMenuAction;
    QAction* m_helpAction; // F1
    QAction* m_aboutAction;
    HelpWindow* m_helpWindow = nullptr; // made when first asked for
    // The interval fields' texts used before, one history per field, kept in
    // the user's settings as the formula line keeps its formulas.
    std::unique_ptr<QSettings> m_settings;
    std::vector<std::unique_ptr<LineHistory>> m_fieldHistories;

    // The view fields.
    QLabel* m_viewHeading;
    QLabel* m_angleXLabel;
    SpinField* m_angleXField;
    QLabel* m_angleZLabel;
    SpinField* m_angleZField;
    QLabel* m_colorScaleLabel;
    SpinField* m_colorScaleField;
    SpinField* m_magnificationField;
    QLabel* m_magnificationLabel;

    // The interval fields and the check boxes under them.
    QLabel* m_intervalHeading;
    QLabel* m_xIntervalLabel;
    QLabel* m_zIntervalLabel;
    QLabel* m_yIntervalLabel;
    QLineEdit* m_xLowField;
    QLineEdit* m_yLowField;
    QLineEdit* m_zLowField;
    QLineEdit* m_xHighField;
    QLineEdit* m_yHighField;
    QLineEdit* m_zHighField;
    QCheckBox* m_meshCheck;
    QCheckBox* m_scalesCheck;
    QCheckBox* m_boxCheck;

    // The simulation, Q, the draw button and the display mode.
    QGroupBox* m_simulationGroup;
    QButtonGroup* m_simulationKinds; // 0 x-axis turn, 1 z-axis turn, 2 Q sweep
    QPushButton* m_simulationButton;
    SpinField* m_qField;
    QLabel* m_qLabel;
    SpinField* m_qStepField; // hundredths
    QLabel* m_gridPointsLabel;
    SpinField* m_gridPointsField; // points per axis, 8..400
    QCheckBox* m_logHeightCheck;  // the modulus as log10 |F|
    QPushButton* m_drawButton;
    QGroupBox* m_displayModeGroup;
    QButtonGroup* m_displayModes; // display mode - 1

    sampling::FillRecord m_fill;
    // The fill running in the background: its job number (0 when none), its
    // formula and the steps to run after it.
    std::uint64_t m_backgroundJob = 0;
    FillSettings m_background;
    std::function<void()> m_afterFill;
    QElapsedTimer m_fillClock;
    QTimer m_progressTimer;
    QProgressBar* m_progress = nullptr;
    std::unique_ptr<BackgroundFill> m_filler;
    // The fault the last fill reported, while the same formula repeats it.
    struct RepeatedFault {
        std::string formula;
        std::string fault;
        int count = 0;
    } m_repeatedFault;
    // Where the control panel's children sit at the start size; a shorter
    // window moves them up proportionally, keeping their sizes.
    std::vector<std::pair<QWidget*, QRect>> m_panelPlaces;
    bool m_ready = false;
    bool m_shownOnce = false;
};

// The window's font: "Verdana" at 12 pixels, or a sans-serif face of the same
// size where Verdana is not installed.
QFont WindowFont();
