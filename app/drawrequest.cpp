// The draw request: the interval fields applied to the plot, the fill handed
// to the background worker, and its result applied to the plot when it ends,
// within the request or later, with the formula line's note.
#include "app/mainwindow.h"

#include "app/errorreport.h"
#include "app/windowsupport.h"
#include "qtplot/plotwidget.h"
#include "realformula/interpreter.h"
#include "runtime/fpu.h"

#include <QButtonGroup>
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

// The fields are applied before the one fill, so that the request succeeds
// exactly when the surface over the new ranges can be computed.
void MainWindow::drawRequested() {
    m_state.formula = m_formulaLine->FormulaBytes();
    applyIntervalFields();
    fill([this] { Plot().Paint(); });
}

void MainWindow::displayModeChanged() {
    const int index = m_displayModes->checkedId();
    if (index >= 0 && index <= 3) m_state.displayMode = index + 1;
    drawRequested();
}

// The points are computed on the worker even when the handler waits for them,
// so that a fill never holds the window for longer than FillWait.
void MainWindow::fill(std::function<void()> then) {
    endBackgroundFill();
    const std::uint64_t job =
        m_filler->Start(sampling::MakeFillJob(Plot(), m_state.formula, m_state.displayMode));
    if (std::optional<sampling::FillResult> result = m_filler->Wait(job, FillWait)) {
        applyFill(*result, m_state.formula);
        if (then) then();
        return;
    }
    m_backgroundJob = job;
    m_backgroundFormula = m_state.formula;
    m_afterFill = std::move(then);
    m_fillClock.start();
    m_progressTimer.start();
}

void MainWindow::applyFill(const sampling::FillResult& result, const std::string& formula) {
    try {
        sampling::ApplyFill(Plot(), result, &m_fill);
    } catch (const rt::EMathError& e) {
        ShowNote(m_formulaLine,
                 {feedback::Severity::Fault,
                  std::string("Rechenfehler: ") + e.what() + "; die Fläche ist unvollständig"});
        // The report names the formula that failed.
        throw rt::EMathError(std::string(e.what()) + " bei der Formel " +
                             QuotedFormula(formula).toStdString());
    }
    ShowNote(m_formulaLine,
             feedback::FormulaNote(formula, m_fill.report, m_fill.points * m_fill.points));
}

// A background fill has ended: it is applied as an entry point of its own.
void MainWindow::fillEnded(std::uint64_t job) {
    if (job == 0 || job != m_backgroundJob) return;
    std::optional<sampling::FillResult> result = m_filler->Wait(job, std::chrono::milliseconds(0));
    if (!result) return;
    const std::string formula = m_backgroundFormula;
    const std::function<void()> then = std::move(m_afterFill);
    endBackgroundFill();
    errorreport::Guarded([&] {
        applyFill(*result, formula);
        if (then)
            then();
        else
            Plot().Paint();
    });
}

bool MainWindow::FillRunning() const {
    return m_backgroundJob != 0;
}

// A cancelled fill leaves the grid, the record and the picture as they were.
void MainWindow::cancelFill() {
    m_filler->Cancel();
    endBackgroundFill();
}

void MainWindow::endBackgroundFill() {
    m_backgroundJob = 0;
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

// New intervals: applied, and drawn once the window is ready.
void MainWindow::intervalsChanged(std::function<void()> then) {
    applyIntervalFields();
    if (m_ready)
        fill(std::move(then));
    else if (then)
        then();
}

void MainWindow::applyIntervalFields() {
    sampling::IntervalTexts texts;
    const auto fields = intervalFields();
    for (std::size_t k = 0; k < fields.size(); ++k) texts[k] = Bytes(fields[k]->text());
    // ReadIntervals, keeping each field's status for its note.
    sampling::IntervalValues values{};
    std::array<std::uint8_t, 6> status{};
    for (std::size_t k = 0; k < fields.size(); ++k) {
        values[k] = sampling::FieldValue(texts[k]);
        status[k] = RealStatus;
    }
    sampling::ApplyIntervals(Plot(), values);
    const auto notes = feedback::IntervalNotes(texts, status, values);
    for (std::size_t k = 0; k < fields.size(); ++k) ShowNote(fields[k], notes[k]);
}
