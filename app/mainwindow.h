// The main window: the formula line, the view and interval controls, the
// simulation timer and the plot, with the handlers that steer them.
#pragma once

#include <QLineEdit>
#include <QMainWindow>
#include <QTimer>

#include <QElapsedTimer>

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "app/backgroundfill.h"
#include "app/formulafeedback.h"
#include "app/formulaline.h"
#include "app/sampling.h"
#include "plot/plot3d.h"

class QAction;
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
class SpinField;
namespace surfaceoptions {
struct SurfaceOptions;
}

// State the window shares with the sampling; the interpreters hold Q.
extern std::string FormulaText; // Windows-1252, as the formula line delivers it
extern int DisplayMode;         // 1 real part, 2 imaginary part, 3 modulus, 4 phase
extern bool SweepUp;            // direction of the Q sweep

class Tfplot3d : public QMainWindow {
    Q_OBJECT

  public:
    explicit Tfplot3d(QWidget* parent = nullptr);
    ~Tfplot3d() override;

    // Client area, below the menu bar.
    static constexpr int ClientWidth = 1008;
    static constexpr int ClientHeight = 709;

    TPlot3D& Plot();
    // The simulation's clock: runs between two presses of "Simulation" or F2.
    const QTimer& SimulationTimer() const;
    // False only before FormCreate and while a wheel step rewrites the fields;
    // a wheel event is ignored while it is false.
    bool IsReady() const;
    void SetReady(bool ready);

    // The value of an interval field's text; 0 where the real interpreter
    // does not accept it.
    double FieldValue(QLineEdit* field) const;
    // One simulation tick; the timer calls it every 15 ms.
    void T1Ti();

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
    // caption and filters, or an empty text when it was cancelled. Tests
    // replace it.
    std::function<QString(const QString& caption, const QString& filters)> ChooseSaveFile;
    // Tells the user why an export failed. Tests replace it.
    std::function<void(const QString& text)> ShowProblem;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

  private:
    // Handlers, named after their control and event. The wiring runs each
    // through the error report.
    void FormCreate();
    void FormActivate();
    void RadioGroup1Click();
    void P2Resize();
    void S7C();
    void D1C();
    // The fill of FormulaText; then holds the handler's remaining steps. A
    // fill that ends within FillWait is applied here and then runs here; a
    // longer one is applied when it ends, then runs then (the plot repaints
    // when there is nothing to run). An error skips then, either way.
    void FormShow(std::function<void()> then = {});
    void E1C(std::function<void()> then = {});
    void rx1C(QObject* sender);
    void rx4C();
    void Rx5C();
    void CB3C();
    void CB4C();
    void CB1C();
    void P1C(QObject* sender);
    void M6C();
    void M7C(QObject* sender);
    void FormMouseWheelDown();
    void FormMouseWheelUp();
    void P3D1M(int& centerX, int& centerY, double& rotXAngle, double& rotZAngle,
               double& magnification, TShiftState shift);
    void P3D1D(Canvas*& canvas);
    void S25C();
    void saveImage();
    void copyImage();
    void saveData();
    void reportWrite(const QString& fileName, const QString& failure);

    void createPanels();
    void createFormulaPanel();
    void createViewControls();
    void createIntervalControls();
    void createSimulationControls();
    void createMenu();
    void nameControls();
    void setTabOrder();
    void loadPlotSettings();
    void wireHandlers();
    void zoomFields(double factor);
    void wheelStep(bool down);
    void applyIntervalFields();
    void turnOneDegree(SpinField* angle);
    std::array<QLineEdit*, 6> intervalFields() const;
    void showPlotReadOut(QHelpEvent* event);
    void applyFill(const sampling::FillResult& result, const std::string& formula);
    void fillEnded(std::uint64_t job);
    void cancelFill();
    void endBackgroundFill();
    void showFillProgress();

    // Controls and menu items, in the order the window declares them. Each
    // carries its member's name as its object name.
    PlotWidget* P3D1;
    QWidget* P2;
    QTimer Timer1;
    QLabel* L8;
    FormulaLine* E7;
    QMenuBar* MM1;
    QAction* M2;
    QAction* M3;
    QAction* sim1;
    QAction* M4;
    QAction* M6;
    QAction* M7;
    QAction* M8;
    QAction* N4;
    QAction* M9;
    QAction* M12;
    QAction* N5;
    QAction* M13;
    QAction* M14;
    QAction* M15;
    QWidget* P4;
    QLabel* L9;
    QLabel* L1;
    SpinField* Rx1;
    QLabel* L2;
    SpinField* Rx2;
    QLabel* L4;
    SpinField* Rx4;
    SpinField* Rx3;
    QLabel* L3;
    QLabel* L10;
    QLabel* L5;
    QLabel* L6;
    QLabel* L7;
    QLineEdit* E1;
    QLineEdit* E2;
    QLineEdit* E3;
    QLineEdit* E4;
    QLineEdit* E5;
    QLineEdit* E6;
    QCheckBox* CB3;
    QCheckBox* CB4;
    QCheckBox* CB1;
    QGroupBox* Rg1;
    QButtonGroup* Rg1Items;
    QPushButton* D2;
    SpinField* Rx5;
    QLabel* L11;
    SpinField* Rx6;
    QPushButton* D1;
    QGroupBox* RadioGroup1;
    QButtonGroup* RadioGroup1Items;

    sampling::FillRecord m_fill;
    // The fill running in the background: its job number (0 when none), its
    // formula and the steps to run after it.
    std::uint64_t m_backgroundJob = 0;
    std::string m_backgroundFormula;
    std::function<void()> m_afterFill;
    QElapsedTimer m_fillClock;
    QTimer m_progressTimer;
    QProgressBar* m_progress = nullptr;
    std::unique_ptr<BackgroundFill> m_filler;
    bool Ready = false;
    bool m_activated = false;
};

// The window's font: "Verdana" at 12 pixels, or a sans-serif face of the same
// size where Verdana is not installed.
QFont WindowFont();
