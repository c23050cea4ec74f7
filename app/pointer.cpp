// The pointer over the window: the wheel narrows or widens the intervals, a
// drag on the plot turns it (the angle fields follow), and resting on the
// surface shows the read-out of the grid point there.
#include "app/mainwindow.h"

#include "app/errorreport.h"
#include "app/spinfield.h"
#include "app/windowsupport.h"
#include "qtplot/plotwidget.h"

#include <QApplication>
#include <QHelpEvent>
#include <QToolTip>
#include <QWheelEvent>

#include <cmath>

namespace {

QString Number(long double v) {
    return QString::number(static_cast<double>(v), 'g', 8);
}

QString ComplexText(Complex w) {
    const long double im = w.im;
    return Number(w.re) + (std::signbit(im) ? QString::fromUtf8(" − ") : QStringLiteral(" + ")) +
           Number(std::fabs(im)) + QStringLiteral("i");
}

// A point whose computation faulted has no height and so no cell the hit
// test can find: the faulted point whose place at the middle of the z range
// lies nearest (x, y), within about a cell of the start picture.
bool NearestFaultedPoint(const TPlot3D& plot, const sampling::FillRecord& fill, int x, int y,
                         int& p, int& i) {
    constexpr long long Reach = 12;
    const double middle = plot.RangeZLow() / 2 + plot.RangeZHigh() / 2;
    long long best = Reach * Reach + 1;
    for (int pp = 1; pp <= fill.points; ++pp)
        for (int ii = 1; ii <= fill.points; ++ii) {
            if (fill.At(pp, ii).fault == sampling::PointFault::None) continue;
            double mx = 0, my = 0, mz = 0;
            plot.GridToModel(pp, ii, middle, mx, my, mz);
            const TPoint s = plot.Project(mx, my, mz);
            const long long dx = s.x - x, dy = s.y - y;
            if (dx * dx + dy * dy < best) {
                best = dx * dx + dy * dy;
                p = pp;
                i = ii;
            }
        }
    return best <= Reach * Reach;
}

} // namespace

void MainWindow::wheelEvent(QWheelEvent* event) {
    // One step per event whatever its size; the event stays unhandled.
    const int delta = event->angleDelta().y();
    if (delta != 0) errorreport::Guarded([this, delta] { wheelStep(delta < 0); });
    event->ignore();
}

// A step down narrows all six intervals by 2 %, a step up widens them. The
// fields are read as plain numbers and the fill runs once, after all six.
void MainWindow::wheelStep(bool down) {
    if (!m_ready) return;
    TPlot3D& p = Plot();
    p.SetHoldPaint(true);
    m_ready = false;
    try {
        for (QLineEdit* field : intervalFields()) {
            const double v = sampling::PlainNumber(windowsupport::Bytes(field->text()));
            const double next = down ? v / 1.02 : v * 1.02;
            field->setText(QString::fromStdString(sampling::ZoomText(v, next)));
        }
        m_ready = true;
        intervalsChanged();
    } catch (...) {
        // A failed step must not leave the plot frozen or the wheel dead.
        m_ready = true;
        p.SetHoldPaint(false);
        throw;
    }
    p.SetHoldPaint(false);
}

void MainWindow::plotTurned(double rotXAngle, double rotZAngle) {
    m_angleXField->SetValue(rotXAngle);
    m_angleZField->SetValue(rotZAngle);
}

QString MainWindow::ReadOut(int x, int y) const {
    const TPlot3D& plot = m_plotWidget->Plot();
    int cellX = 0, cellY = 0;
    if (m_fill.points == 0) return {};
    if (!plot.HitTest(x, y, cellX, cellY)) {
        int p = 0, i = 0;
        if (!NearestFaultedPoint(plot, m_fill, x, y, p, i)) return {};
        const sampling::SamplePoint& s = m_fill.At(p, i);
        return QStringLiteral("Punkt (p, i) = (%1, %2)\n").arg(p).arg(i) + QStringLiteral("Z = ") +
               ComplexText(Complex{s.x, s.y}) + QStringLiteral("\nF(Z): ") +
               QString::fromStdString(sampling::FaultMessage(s.fault)) +
               QString::fromUtf8(" – nicht gezeichnet");
    }
    // The cell's corner nearest the pointer on the screen.
    int p = cellX, i = cellY;
    long long best = -1;
    for (const auto& [cp, ci] : {std::pair{cellX, cellY}, std::pair{cellX + 1, cellY},
                                 std::pair{cellX, cellY + 1}, std::pair{cellX + 1, cellY + 1}}) {
        const long long dx = plot.ScreenXGrid().Cell(cp, ci) - x;
        const long long dy = plot.ScreenYGrid().Cell(cp, ci) - y;
        if (best < 0 || dx * dx + dy * dy < best) {
            best = dx * dx + dy * dy;
            p = cp;
            i = ci;
        }
    }
    if (p > m_fill.points || i > m_fill.points) return {};
    const sampling::SamplePoint& s = m_fill.At(p, i);
    const long double modulus = std::hypot(s.f.re, s.f.im);
    const long double angle = std::atan2(s.f.im, s.f.re);
    QString text = QStringLiteral("Punkt (p, i) = (%1, %2)\n").arg(p).arg(i);
    text += QStringLiteral("Z = ") + ComplexText(Complex{s.x, s.y}) + '\n';
    text += QStringLiteral("F(Z) = ") + ComplexText(s.f) + '\n';
    text += QStringLiteral("|F(Z)| = ") + Number(modulus) + '\n';
    text += QStringLiteral("arg F(Z) = ") + Number(angle) + '\n';
    text += QStringLiteral("gezeichnet: ") + Number(s.drawn);
    if (s.drawn == plot.RangeZHigh() || s.drawn == plot.RangeZLow())
        text += QStringLiteral(" (Grenze des z-Intervalls)");
    if (s.status != 0) {
        sampling::FillReport one;
        one.Count(s.status);
        const std::string why = feedback::FormulaNote("Z", one, 1).text;
        text += '\n' + QString::fromStdString(why.substr(0, why.find(" an ")));
        text += QStringLiteral(": Ersatzwert");
    }
    return text;
}

// The read-out shows while the pointer rests with no button held; a drag
// turns the surface and shows nothing.
void MainWindow::showPlotReadOut(QHelpEvent* event) {
    const double ratio = m_plotWidget->PixelRatio();
    const QString text = QApplication::mouseButtons() == Qt::NoButton
                             ? ReadOut(static_cast<int>(std::lround(event->x() * ratio)),
                                       static_cast<int>(std::lround(event->y() * ratio)))
                             : QString();
    if (text.isEmpty()) {
        QToolTip::hideText();
        return;
    }
    QToolTip::showText(event->globalPos(), text, m_plotWidget,
                       QRect(event->pos() - QPoint(2, 2), QSize(5, 5)));
}
