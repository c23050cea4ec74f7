// The window's exports: the picture as PNG or SVG, the picture on the
// clipboard, and the last fill's points as CSV.
#include "app/mainwindow.h"

#include "app/pictureexport.h"
#include "app/spinfield.h"
#include "app/surfaceoptions.h"
#include "app/windowsupport.h"
#include "qtplot/plotwidget.h"

#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>

void MainWindow::saveImage() {
    if (!ChooseSaveFile) return;
    QString filter;
    QString name = ChooseSaveFile(QStringLiteral("Bild speichern"),
                                  QStringLiteral("PNG-Bild (*.png);;SVG-Grafik (*.svg)"), filter);
    if (name.isEmpty()) return;
    // A name without an ending takes the ending of the chosen file type.
    if (QFileInfo(name).suffix().isEmpty())
        name += filter.contains(QLatin1String("*.svg")) ? QStringLiteral(".svg")
                                                        : QStringLiteral(".png");
    const QByteArray bytes = pictureexport::FormatOf(name) == pictureexport::Format::Svg
                                 ? pictureexport::Svg(*m_plotWidget)
                                 : pictureexport::Png(*m_plotWidget);
    reportWrite(name, pictureexport::WriteFile(name, bytes));
}

void MainWindow::copyImage() {
    QGuiApplication::clipboard()->setImage(m_plotWidget->Image());
}

// The render command that writes the picture now shown: the formula last
// drawn, the fields and view controls, the plot's size.
void MainWindow::copyCommandLine() {
    surfaceoptions::SurfaceOptions options;
    sampling::SurfaceRequest& request = options.request;
    request.formula = m_state.formula;
    request.displayMode = m_state.displayMode;
    request.q = m_qField->Value();
    const auto fields = intervalFields();
    for (std::size_t k = 0; k < fields.size(); ++k)
        request.intervals[k] = windowsupport::Bytes(fields[k]->text());
    request.points = m_state.points;
    request.logHeight = m_state.logHeight;
    options.angleX = m_angleXField->Value();
    options.angleZ = m_angleZField->Value();
    options.size = m_magnificationField->Value();
    options.mesh = m_meshCheck->isChecked();
    options.coords = m_scalesCheck->isChecked();
    options.box = m_boxCheck->isChecked();
    const TPlot3D& shown = m_plotWidget->Plot();
    options.coloring = shown.SurfaceColoring();
    options.wheel = shown.PhaseWheel();
    options.legend = shown.LegendVisible();
    options.formulaGiven = true;
    const TPlot3D& plot = m_plotWidget->Plot();
    QGuiApplication::clipboard()->setText(QString::fromStdString(
        surfaceoptions::RenderCommandLine(options, "bild.png", plot.Width(), plot.Height())));
}

// The points of the last fill, taken when the name is known: during the Q
// sweep that is the surface on screen at that moment.
void MainWindow::saveData() {
    if (!ChooseSaveFile) return;
    QString filter;
    QString name = ChooseSaveFile(QString::fromUtf8("Daten speichern"),
                                  QStringLiteral("CSV-Datei (*.csv)"), filter);
    if (name.isEmpty()) return;
    if (QFileInfo(name).suffix().isEmpty()) name += QStringLiteral(".csv");
    reportWrite(name, pictureexport::WriteFile(name, pictureexport::Csv(m_fill)));
}

void MainWindow::reportWrite(const QString& fileName, const QString& failure) {
    if (failure.isEmpty() || !ShowProblem) return;
    ShowProblem(QString::fromUtf8("»%1« konnte nicht geschrieben werden: %2")
                    .arg(QDir::toNativeSeparators(fileName), failure));
}
