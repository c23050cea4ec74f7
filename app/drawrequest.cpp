// The draw request: the interval fields read, the fill handed to the
// background worker, and its result applied to the plot when it ends, within
// the request or later, with the formula line's note. New intervals reach the
// plot together with the fill computed for them, so a cancelled fill leaves
// the picture exactly as it was.
#include "app/mainwindow.h"

#include "app/errorreport.h"
#include "app/windowsupport.h"
#include "qtplot/plotwidget.h"
#include "realformula/interpreter.h"
#include "runtime/fpu.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QProgressBar>

using windowsupport::Bytes;
using windowsupport::ShowNote;

namespace {

// A formula for a message: quoted, and cut after 60 characters.
QString QuotedFormula(const std::string& cp1252) {
    QString f = windowsupport::FromBytes(cp1252.substr(0, 61));
    if (f.size() > 60) f = f.left(60) + QString::fromUtf8("…");
    return QString::fromUtf8("»") + f + QString::fromUtf8("«");
}

} // namespace

// The fields are read before the one fill, so that the request succeeds
// exactly when the surface over the new ranges can be computed. A request
// made by the user reports a fault again, even one reported before.
void MainWindow::drawRequested() {
    m_state.formula = m_formulaLine->FormulaBytes();
    rememberTexts();
    m_repeatedFault = {};
    fill(readIntervalFields(), [this] { Plot().Paint(); });
}

void MainWindow::displayModeChanged() {
    const int index = m_displayModes->checkedId();
    if (index >= 0 && index <= 3) m_state.displayMode = index + 1;
    m_logHeightCheck->setEnabled(m_state.displayMode == sampling::dmModulus);
    drawRequested();
}

// The points are computed on the worker even when the handler waits for them,
// so that a fill never holds the window for longer than FillWait. A fill that
// replaces a running one keeps the intervals that one was computed for.
void MainWindow::fill(std::optional<sampling::IntervalValues> intervals,
                      std::function<void()> then) {
    if (!intervals && FillRunning()) intervals = m_background.intervals;
    endBackgroundFill();
    FillSettings settings{m_state.formula, intervals,
                          m_state.logHeight && m_state.displayMode == sampling::dmModulus};
    sampling::FillJob job =
        sampling::MakeFillJob(Plot(), m_state.formula, m_state.displayMode, m_state.points);
    job.logHeight = m_state.logHeight;
    if (intervals) sampling::SetJobIntervals(job, *intervals);
    const std::uint64_t jobNumber = m_filler->Start(std::move(job));
    if (std::optional<sampling::FillResult> result = m_filler->Wait(jobNumber, FillWait)) {
        if (applyFill(*result, settings) && then) then();
        return;
    }
    m_backgroundJob = jobNumber;
    m_background = std::move(settings);
    m_afterFill = std::move(then);
    m_progress->setRange(0, m_state.points * m_state.points);
    m_fillClock.start();
    m_progressTimer.start();
}

// The intervals first, then the grid. Points whose computation faulted are
// left undrawn and the picture shows the rest; the fault is reported once per
// formula and fault while it repeats (as in a Q sweep), then only counted on
// the formula line. Returns false when a repeated fault was only counted.
bool MainWindow::applyFill(const sampling::FillResult& result, const FillSettings& settings) {
    const std::string& formula = settings.formula;
    TPlot3D& plot = Plot();
    plot.SetHoldPaint(true);
    if (settings.intervals) sampling::ApplyIntervals(plot, *settings.intervals);
    plot.SetLogScaleZ(settings.logScale);
    plot.SetHoldPaint(false);
    try {
        sampling::ApplyFill(plot, result, &m_fill);
    } catch (const rt::EMathError& e) {
        plot.Paint();
        const std::string fault = e.what();
        const bool repeated = m_repeatedFault.formula == formula && m_repeatedFault.fault == fault;
        m_repeatedFault = {formula, fault, repeated ? m_repeatedFault.count + 1 : 1};
        std::string note = "Rechenfehler: " + fault + "; die Fläche ist unvollständig";
        if (repeated) note += " (" + std::to_string(m_repeatedFault.count) + "-mal in Folge)";
        ShowNote(m_formulaLine, {feedback::Severity::Fault, note});
        if (repeated) return false;
        // The report names the formula that failed.
        throw rt::EMathError(fault + " bei der Formel " + QuotedFormula(formula).toStdString());
    }
    m_repeatedFault = {};
    ShowNote(m_formulaLine,
             feedback::FormulaNote(formula, m_fill.report, m_fill.points * m_fill.points));
    return true;
}

// A background fill has ended: it is applied as an entry point of its own.
void MainWindow::fillEnded(std::uint64_t job) {
    if (job == 0 || job != m_backgroundJob) return;
    std::optional<sampling::FillResult> result = m_filler->Wait(job, std::chrono::milliseconds(0));
    if (!result) return;
    const FillSettings settings = m_background;
    const std::function<void()> then = std::move(m_afterFill);
    endBackgroundFill();
    errorreport::Guarded([&] {
        if (!applyFill(*result, settings)) return;
        if (then)
            then();
        else
            Plot().Paint();
    });
}

bool MainWindow::FillRunning() const {
    return m_backgroundJob != 0;
}

// A cancelled fill leaves the grid, the ranges, the record and the picture
// as they were.
void MainWindow::cancelFill() {
    m_filler->Cancel();
    endBackgroundFill();
}

void MainWindow::endBackgroundFill() {
    m_backgroundJob = 0;
    m_background = {};
    m_afterFill = {};
    m_progressTimer.stop();
    if (m_progress->isVisible()) {
        m_progress->hide();
        m_plotWidget->setCursor(Qt::PointingHandCursor);
        centralWidget()->unsetCursor();
    }
}

void MainWindow::showFillProgress() {
    if (!FillRunning() || m_fillClock.elapsed() < 500) return;
    if (!m_progress->isVisible()) {
        m_plotWidget->setCursor(Qt::BusyCursor);
        centralWidget()->setCursor(Qt::BusyCursor);
        m_progress->show();
    }
    m_progress->setValue(m_filler->PointsDone());
}

const sampling::FillRecord& MainWindow::LastFill() const {
    return m_fill;
}

double MainWindow::FieldValue(QLineEdit* field) const {
    return sampling::FieldValue(Bytes(field->text()));
}

std::array<QLineEdit*, 6> MainWindow::intervalFields() const {
    return {m_xLowField, m_yLowField, m_zLowField, m_xHighField, m_yHighField, m_zHighField};
}

// New intervals: drawn with a fill once the window is ready, applied alone
// before.
void MainWindow::intervalsChanged(std::function<void()> then) {
    const sampling::IntervalValues intervals = readIntervalFields();
    if (m_ready) {
        fill(intervals, std::move(then));
        return;
    }
    sampling::ApplyIntervals(Plot(), intervals);
    if (then) then();
}

// The six fields' values (ReadIntervals), with each field's note.
sampling::IntervalValues MainWindow::readIntervalFields() {
    sampling::IntervalTexts texts;
    const auto fields = intervalFields();
    for (std::size_t k = 0; k < fields.size(); ++k) texts[k] = Bytes(fields[k]->text());
    sampling::IntervalValues values{};
    std::array<std::uint8_t, 6> status{};
    for (std::size_t k = 0; k < fields.size(); ++k) {
        values[k] = sampling::FieldValue(texts[k]);
        status[k] = RealStatus;
    }
    const auto notes = feedback::IntervalNotes(texts, status, values);
    for (std::size_t k = 0; k < fields.size(); ++k) ShowNote(fields[k], notes[k]);
    return values;
}
