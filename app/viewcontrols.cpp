// The view's controls: the angle, size and colour-scale fields, Q, the three
// check boxes, the two colours, and the interval commands of the menu
// (reset and zoom by 10 %).
#include "app/mainwindow.h"

#include "app/spinfield.h"
#include "app/windowplot.h"
#include "app/windowsupport.h"
#include "qtplot/plotwidget.h"

#include <QAction>
#include <QActionGroup>
#include <QCheckBox>

#include <cmath>

void MainWindow::viewAngleOrSizeChanged(SpinField* field) {
    if (field == m_angleXField) Plot().SetViewAngleX(std::nearbyint(field->Value()));
    if (field == m_angleZField) Plot().SetViewAngleZ(std::nearbyint(field->Value()));
    if (field == m_magnificationField) Plot().SetMagnification(field->Value() * plotScale());
}

// The colour scale spans 15 below the field's value.
void MainWindow::colorScaleChanged() {
    Plot().SetColorScaleHigh(m_colorScaleField->Value());
    Plot().SetColorScaleLow(m_colorScaleField->Value() - 15);
}

// The grid's points per axis: the next fill samples N x N points, and the
// mesh draws about every 36th line of the grid.
void MainWindow::gridPointsChanged() {
    m_state.points = static_cast<int>(m_gridPointsField->Value());
    Plot().SetMeshStep((m_state.points + sampling::GridPoints - 1) / sampling::GridPoints);
    if (m_ready) fill({}, [this] { Plot().Paint(); });
}

// The colouring, the hue wheel and the legend change the picture, not the fill.
void MainWindow::coloringChosen() {
    TPlot3D& plot = Plot();
    plot.SetHoldPaint(true);
    plot.SetSurfaceColoring(static_cast<TSurfaceColoring>(
        m_colorings->actions().indexOf(m_colorings->checkedAction())));
    plot.SetPhaseWheel(
        static_cast<TPhaseWheel>(m_wheels->actions().indexOf(m_wheels->checkedAction())));
    plot.SetLegendVisible(m_legendAction->isChecked());
    plot.SetHoldPaint(false);
}

void MainWindow::logHeightToggled() {
    m_state.logHeight = m_logHeightCheck->isChecked();
    if (m_ready) drawRequested();
}

void MainWindow::qChanged() {
    sampling::SetQ(m_qField->Value());
    fill({}, [this] { Plot().Paint(); });
}

void MainWindow::meshToggled() {
    Plot().SetMeshVisible(m_meshCheck->isChecked());
}

void MainWindow::scalesToggled() {
    windowplot::ShowScales(Plot(), m_scalesCheck->isChecked());
}

// The box's settings change together and repaint once.
void MainWindow::boxToggled() {
    TPlot3D& p = Plot();
    p.SetHoldPaint(true);
    windowplot::ShowBox(p, m_boxCheck->isChecked());
    p.SetHoldPaint(false);
}

// The dialog opens at the colour it changes.
void MainWindow::chooseColor(QAction* which) {
    const TColor current = which == m_highColorAction ? Plot().ColorHigh() : Plot().ColorLow();
    TColor chosen = current;
    if (!ChooseColor || !ChooseColor(current, chosen)) return;
    if (which == m_highColorAction) Plot().SetColorHigh(chosen);
    if (which == m_lowColorAction) Plot().SetColorLow(chosen);
}

void MainWindow::resetIntervals() {
    const auto fields = intervalFields();
    for (std::size_t k = 0; k < fields.size(); ++k)
        fields[k]->setText(windowsupport::FromBytes(sampling::DefaultIntervalTexts[k]));
    intervalsChanged([this] { Plot().Paint(); });
}

// "Verkleinern" widens every interval by 10 %, "Vergrößern" narrows it.
void MainWindow::zoom(QAction* which) {
    zoomFields(which == m_zoomOutAction ? 1.1 : 1 / 1.1);
    drawRequested();
}

void MainWindow::zoomFields(double factor) {
    for (QLineEdit* field : intervalFields()) {
        const double v = FieldValue(field);
        field->setText(QString::fromStdString(sampling::ZoomText(v, v * factor)));
    }
}
