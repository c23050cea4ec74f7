// The window's panels and controls: the plot at the top left, the formula
// line along the bottom, the view, interval and simulation controls at the
// right; their object names and the tab order; the start options.
#include "app/mainwindow.h"

#include "app/spinfield.h"
#include "app/surfaceoptions.h"
#include "app/windowplot.h"
#include "app/windowsupport.h"
#include "qtplot/plotwidget.h"

#include <QAbstractButton>
#include <QAction>
#include <QActionGroup>
#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <utility>

using windowsupport::SetBackground;

namespace {

using windowplot::PlotHeight;
using windowplot::PlotWidth;
constexpr int BottomPanelHeight = 56;
constexpr int RightPanelWidth = 185;
const QColor PanelColor(0xF0, 0xF0, 0xF0);
const QColor Navy(0x00, 0x00, 0x80);

QLabel* MakeLabel(QWidget* parent, int left, int top, const QString& caption) {
    auto* label = new QLabel(caption, parent);
    label->move(left, top);
    label->adjustSize();
    return label;
}

QLineEdit* MakeEdit(QWidget* parent, int left, int top, int width, int height, const char* text) {
    auto* edit = new QLineEdit(QString::fromUtf8(text), parent);
    edit->setGeometry(left, top, width, height);
    SetBackground(edit, Qt::white, QPalette::Base);
    return edit;
}

struct SpinSetup {
    int left, top, width, height;
    int decimals;
    double minimum, maximum, increment, value;
};

SpinField* MakeSpin(QWidget* parent, const SpinSetup& s) {
    auto* field = new SpinField(parent);
    field->setGeometry(s.left, s.top, s.width, s.height);
    field->setDecimals(s.decimals);
    field->setRange(s.minimum, s.maximum);
    field->setIncrement(s.increment);
    field->SetValue(s.value);
    SetBackground(field, Qt::white, QPalette::Base);
    return field;
}

QGroupBox* MakeRadioGroup(QWidget* parent, QRect bounds, const QString& caption,
                          const QStringList& items, int selected, QButtonGroup*& group) {
    auto* box = new QGroupBox(caption, parent);
    box->setGeometry(bounds);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(8, 2, 4, 2);
    layout->setSpacing(0);
    group = new QButtonGroup(box);
    for (int k = 0; k < items.size(); ++k) {
        auto* button = new QRadioButton(items[k], box);
        group->addButton(button, k);
        layout->addWidget(button);
        if (k == selected) button->setChecked(true);
    }
    return box;
}

} // namespace

void MainWindow::createPanels() {
    auto* client = new QWidget(this);
    client->setMinimumSize(MinimumClientSize);
    client->resize(ClientWidth, ClientHeight);
    SetBackground(client, Qt::white);
    setCentralWidget(client);
    client->installEventFilter(this);

    m_plotWidget = new PlotWidget(client);
    m_plotWidget->setGeometry(0, 0, PlotWidth, PlotHeight);
    m_plotWidget->setCursor(Qt::PointingHandCursor);
    m_plotWidget->Plot().SetSize(PlotWidth, PlotHeight);
    m_plotWidget->installEventFilter(this);
    m_plotWidget->onResize = [this] { fitPlotView(); };
    // Shown while a fill takes longer than half a second.
    m_progress = new QProgressBar(m_plotWidget);
    m_progress->setGeometry(16, PlotHeight - 36, 260, 20);
    m_progress->setRange(0, sampling::GridPoints * sampling::GridPoints);
    m_progress->setFormat(QString::fromUtf8("Fläche wird berechnet: %p %"));
    m_progress->setObjectName(QStringLiteral("FillProgress"));
    m_progress->hide();

    m_formulaPanel = new QWidget(client);
    m_formulaPanel->setGeometry(0, ClientHeight - BottomPanelHeight, ClientWidth,
                                BottomPanelHeight);
    SetBackground(m_formulaPanel, PanelColor);

    m_controlPanel = new QWidget(client);
    m_controlPanel->setGeometry(ClientWidth - RightPanelWidth, 0, RightPanelWidth,
                                ClientHeight - BottomPanelHeight);
    SetBackground(m_controlPanel, PanelColor);
}

void MainWindow::createFormulaPanel() {
    m_formulaLabel = MakeLabel(m_formulaPanel, 16, 16, QStringLiteral("F(X,Y) ="));
    m_formulaLine = new FormulaLine(m_formulaPanel);
    m_formulaLine->setGeometry(80, 14, 505, 22);
    m_formulaLine->setText(QStringLiteral("SIN(Z+Q)*Z/10"));
    SetBackground(m_formulaLine, Qt::white, QPalette::Base);
    // The grid's points per axis, under the control panel.
    m_gridPointsLabel = MakeLabel(m_formulaPanel, 0, 16, QStringLiteral("Gitterpunkte"));
    m_gridPointsField = MakeSpin(m_formulaPanel, {0, 14, 50, 22, 0, 8, 400, 1, 36});
    m_gridPointsField->setToolTip(QString::fromUtf8(
        "Gitterpunkte je Achse, 8 bis 400: die Fläche wird an N × N Punkten berechnet"));
    m_logHeightCheck = new QCheckBox(QStringLiteral("logarithmisch"), m_formulaPanel);
    m_logHeightCheck->adjustSize();
    m_logHeightCheck->setEnabled(false);
    m_logHeightCheck->setToolTip(
        QString::fromUtf8("Bei »Betrag«: log₁₀ |F(Z)| als Höhe, die z-Skala in Zehnerpotenzen"));
}

void MainWindow::rememberPanelPlaces() {
    for (QObject* child : m_controlPanel->children())
        if (auto* widget = qobject_cast<QWidget*>(child))
            m_panelPlaces.emplace_back(widget, widget->geometry());
    std::stable_sort(m_panelPlaces.begin(), m_panelPlaces.end(),
                     [](const auto& a, const auto& b) { return a.second.y() < b.second.y(); });
}

namespace {

// The control panel's children in rows (controls whose heights overlap sit in
// one row), and each child's new top when the gaps between the rows shrink by
// the same factor so that the last row ends at bottom; no row moves down.
std::vector<int> RowTops(const std::vector<std::pair<QWidget*, QRect>>& places, int bottom) {
    std::vector<int> rowOf(places.size());
    std::vector<std::pair<int, int>> rows; // top and bottom of each row
    for (std::size_t k = 0; k < places.size(); ++k) {
        const QRect& r = places[k].second;
        if (rows.empty() || r.top() >= rows.back().second)
            rows.emplace_back(r.top(), r.top() + r.height());
        else
            rows.back().second = std::max(rows.back().second, r.top() + r.height());
        rowOf[k] = static_cast<int>(rows.size()) - 1;
    }
    int heights = 0, gaps = 0, previous = 0;
    for (const auto& [top, end] : rows) {
        heights += end - top;
        gaps += top - previous;
        previous = end;
    }
    const double shrink = gaps > 0 ? std::clamp(double(bottom - heights) / gaps, 0.0, 1.0) : 1.0;
    std::vector<int> rowTop(rows.size());
    double y = 0;
    previous = 0;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        y += (rows[r].first - previous) * shrink;
        rowTop[r] = static_cast<int>(std::lround(y));
        y += rows[r].second - rows[r].first;
        previous = rows[r].second;
    }
    std::vector<int> tops(places.size());
    for (std::size_t k = 0; k < places.size(); ++k)
        tops[k] = rowTop[rowOf[k]] + places[k].second.top() - rows[rowOf[k]].first;
    return tops;
}

} // namespace

// The plot takes the room the window gives it; the control panel keeps its
// width at the right and the formula panel its height at the bottom. At the
// start size the panels lie as they always have. A window too short for the
// panel's controls lets the panel reach down beside the formula panel and
// moves its controls up proportionally, so that every control still shows.
void MainWindow::layoutPanels() {
    const QSize client = centralWidget()->size();
    const int plotWidth = client.width() - RightPanelWidth;
    const int plotHeight = client.height() - BottomPanelHeight;
    m_plotWidget->setGeometry(0, 0, plotWidth, plotHeight);
    m_progress->move(16, plotHeight - 36);
    const bool panelFits = plotHeight >= PlotHeight;
    m_controlPanel->setGeometry(plotWidth, 0, RightPanelWidth,
                                panelFits ? plotHeight : client.height());
    m_formulaPanel->setGeometry(0, plotHeight, panelFits ? client.width() : plotWidth,
                                BottomPanelHeight);
    // The last row of controls ends at least 4 pixels above the edge.
    const std::vector<int> tops = RowTops(m_panelPlaces, m_controlPanel->height() - 4);
    for (std::size_t k = 0; k < m_panelPlaces.size(); ++k)
        m_panelPlaces[k].first->move(m_panelPlaces[k].second.x(), tops[k]);
    // The formula line reaches from its label to the control panel, or, where
    // the panel reaches down, to the grid field at the formula panel's end.
    // Under the control panel the grid field and the log check box lie in two
    // rows; where the panel reaches down, in one row at the formula's end.
    const int fieldLeft = panelFits ? plotWidth + 100 : plotWidth - 60;
    const int checkLeft = panelFits ? plotWidth + 12 : fieldLeft - 100 - m_logHeightCheck->width();
    const int lineRight = panelFits ? plotWidth - 20 : checkLeft - 12;
    m_formulaLine->resize(lineRight - m_formulaLine->x(), m_formulaLine->height());
    m_gridPointsLabel->move(fieldLeft - 88, panelFits ? 6 : 16);
    m_gridPointsField->move(fieldLeft, panelFits ? 4 : 14);
    m_logHeightCheck->move(checkLeft, panelFits ? 32 : 16);
}

void MainWindow::createViewControls() {
    QWidget* panel = m_controlPanel;
    m_viewHeading = MakeLabel(panel, 16, 16, QStringLiteral("Darstellung"));
    m_angleXLabel = MakeLabel(panel, 32, 40, QStringLiteral("x-Winkel"));
    m_angleXField = MakeSpin(panel, {104, 36, 60, 22, 0, 0, 360, 1, 66});
    m_angleZLabel = MakeLabel(panel, 32, 68, QStringLiteral("z-Winkel"));
    m_angleZField = MakeSpin(panel, {104, 64, 60, 22, 0, 0, 360, 1, 115});
    m_magnificationLabel = MakeLabel(panel, 51, 100, QStringLiteral("Größe"));
    m_magnificationField = MakeSpin(panel, {104, 96, 60, 22, 2, 0, 2, 0.02, 1.1});
    m_colorScaleLabel = MakeLabel(panel, 22, 128, QStringLiteral("Abstufung"));
    m_colorScaleField = MakeSpin(panel, {104, 124, 60, 22, 1, 0, 9.9, 0.1, 8});
    m_magnificationField->setToolTip(QString::fromUtf8("Größe des Bildes (Vergrößerungsfaktor)"));
    m_colorScaleField->setToolTip(
        QString::fromUtf8("Abstufung: oberes Ende der Farbskala; sie reicht bis 15 darunter"));
    SetBackground(m_viewHeading, Navy, QPalette::WindowText);
}

void MainWindow::createIntervalControls() {
    QWidget* panel = m_controlPanel;
    m_intervalHeading = MakeLabel(panel, 16, 160, QStringLiteral("Koordinatenintervalle"));
    SetBackground(m_intervalHeading, Navy, QPalette::WindowText);
    m_xLowField = MakeEdit(panel, 22, 188, 50, 22, "-4");
    m_yLowField = MakeEdit(panel, 22, 216, 50, 22, "-4");
    m_zLowField = MakeEdit(panel, 22, 244, 50, 22, "-4");
    m_xIntervalLabel = MakeLabel(panel, 76, 192, QStringLiteral("< x <"));
    m_yIntervalLabel = MakeLabel(panel, 76, 220, QStringLiteral("< y <"));
    m_zIntervalLabel = MakeLabel(panel, 76, 248, QStringLiteral("< z <"));
    m_xHighField = MakeEdit(panel, 120, 188, 50, 22, "4");
    m_yHighField = MakeEdit(panel, 120, 216, 50, 22, "4");
    m_zHighField = MakeEdit(panel, 120, 244, 50, 22, "4");

    m_scalesCheck = new QCheckBox(QStringLiteral("Koordinaten zeigen"), panel);
    m_scalesCheck->setGeometry(20, 280, 173, 17);
    m_boxCheck = new QCheckBox(QStringLiteral("Koordinatenachsen"), panel);
    m_boxCheck->setGeometry(20, 297, 149, 17);
    m_meshCheck = new QCheckBox(QStringLiteral("Gitter anzeigen"), panel);
    m_meshCheck->setGeometry(20, 315, 141, 17);
    m_meshCheck->setChecked(true);
}

void MainWindow::createSimulationControls() {
    QWidget* panel = m_controlPanel;
    m_simulationGroup =
        MakeRadioGroup(panel, QRect(16, 340, 153, 82), QStringLiteral("Simulation"),
                       {QStringLiteral("x-Achsendrehung"), QStringLiteral("z-Achsendrehung"),
                        QStringLiteral("Änderung von Q")},
                       1, m_simulationKinds);
    m_simulationButton = new QPushButton(QStringLiteral("Simulation"), panel);
    m_simulationButton->setGeometry(16, 436, 153, 25);

    // The Q step in hundredths: buttons and arrow keys only.
    m_qStepField = MakeSpin(panel, {16, 473, 40, 21, 0, 1, 20, 1, 10});
    m_qStepField->setFrame(false);
    SetBackground(m_qStepField, PanelColor, QPalette::Base);
    m_qStepField->setTypingEnabled(false);
    m_qStepField->setToolTip(QString::fromUtf8(
        "Schrittweite von Q bei der Simulation »Änderung von Q«, in Hundertsteln"));
    m_qLabel = MakeLabel(panel, 72, 474, QStringLiteral("Q ="));
    m_qField = MakeSpin(panel, {104, 472, 60, 22, 2, -10, 10, 0.01, 1});
    m_qField->setToolTip(QString::fromUtf8(
        "Parameter Q der Formel und der Intervallfelder, von −10 bis 10 (zwei Nachkommastellen)"));

    m_drawButton = new QPushButton(QStringLiteral("Zeichnen"), panel);
    m_drawButton->setGeometry(16, 518, 153, 25);
    m_displayModeGroup =
        MakeRadioGroup(panel, QRect(16, 552, 153, 97), QStringLiteral("Darstellung"),
                       {QStringLiteral("Realteil"), QStringLiteral("Imaginärteil"),
                        QStringLiteral("Betrag"), QStringLiteral("Raumphasenplot")},
                       0, m_displayModes);
}

// The object names tests and the soak find the controls by.
void MainWindow::nameControls() {
    const std::pair<QObject*, const char*> names[] = {
        {m_plotWidget, "P3D1"},
        {m_formulaPanel, "P2"},
        {&m_simulationTimer, "Timer1"},
        {m_formulaLabel, "L8"},
        {m_formulaLine, "E7"},
        {m_menuBar, "MM1"},
        {m_quitAction, "M2"},
        {m_drawAction, "M3"},
        {m_simulationAction, "sim1"},
        {m_viewMenuAction, "M4"},
        {m_resetAction, "M6"},
        {m_zoomOutAction, "M7"},
        {m_zoomInAction, "M8"},
        {m_colorSeparator, "N4"},
        {m_highColorAction, "M9"},
        {m_lowColorAction, "M12"},
        {m_exportSeparator, "N5"},
        {m_saveImageAction, "M13"},
        {m_copyImageAction, "M14"},
        {m_saveDataAction, "M15"},
        {m_copyCommandAction, "CopyCommand"},
        {m_coloringMenuAction, "ColoringMenu"},
        {m_legendAction, "Legend"},
        {m_helpMenuAction, "HelpMenu"},
        {m_helpAction, "HelpAction"},
        {m_aboutAction, "AboutAction"},
        {m_controlPanel, "P4"},
        {m_viewHeading, "L9"},
        {m_angleXLabel, "L1"},
        {m_angleXField, "Rx1"},
        {m_angleZLabel, "L2"},
        {m_angleZField, "Rx2"},
        {m_colorScaleLabel, "L4"},
        {m_colorScaleField, "Rx4"},
        {m_magnificationField, "Rx3"},
        {m_magnificationLabel, "L3"},
        {m_intervalHeading, "L10"},
        {m_xIntervalLabel, "L5"},
        {m_zIntervalLabel, "L6"},
        {m_yIntervalLabel, "L7"},
        {m_xLowField, "E1"},
        {m_yLowField, "E2"},
        {m_zLowField, "E3"},
        {m_xHighField, "E4"},
        {m_yHighField, "E5"},
        {m_zHighField, "E6"},
        {m_meshCheck, "CB3"},
        {m_scalesCheck, "CB4"},
        {m_boxCheck, "CB1"},
        {m_simulationGroup, "Rg1"},
        {m_simulationKinds, "Rg1Items"},
        {m_simulationButton, "D2"},
        {m_qField, "Rx5"},
        {m_qLabel, "L11"},
        {m_qStepField, "Rx6"},
        {m_drawButton, "D1"},
        {m_gridPointsLabel, "GridPointsLabel"},
        {m_gridPointsField, "GridPoints"},
        {m_logHeightCheck, "LogHeight"},
        {m_displayModeGroup, "RadioGroup1"},
        {m_displayModes, "RadioGroup1Items"},
    };
    for (const auto& [object, name] : names) object->setObjectName(QString::fromLatin1(name));
}

void MainWindow::setTabOrder() {
    // The formula line first, then the panel top to bottom and left to right.
    QList<QWidget*> order = {m_formulaLine,     m_angleXField, m_angleZField, m_magnificationField,
                             m_colorScaleField, m_xLowField,   m_xHighField,  m_yLowField,
                             m_yHighField,      m_zLowField,   m_zHighField,  m_scalesCheck,
                             m_boxCheck,        m_meshCheck};
    for (QAbstractButton* b : m_simulationKinds->buttons()) order.append(b);
    order.append({m_simulationButton, m_qStepField, m_qField, m_drawButton});
    for (QAbstractButton* b : m_displayModes->buttons()) order.append(b);
    order.append({m_gridPointsField, m_logHeightCheck});
    for (QButtonGroup* group : {m_simulationKinds, m_displayModes})
        for (QAbstractButton* b : group->buttons()) b->installEventFilter(this);
    for (int k = 0; k + 1 < order.size(); ++k) QWidget::setTabOrder(order[k], order[k + 1]);
}

// The start options fill the controls as a user would before the first draw.
void MainWindow::ApplyStartOptions(const surfaceoptions::SurfaceOptions& options) {
    const sampling::SurfaceRequest& request = options.request;
    if (options.formulaGiven) m_formulaLine->setText(windowsupport::FromBytes(request.formula));
    const auto fields = intervalFields();
    for (std::size_t k = 0; k < fields.size(); ++k)
        fields[k]->setText(windowsupport::FromBytes(request.intervals[k]));
    {
        // The start-up's draw request draws the mode; choosing it must not.
        const QSignalBlocker blocker(m_displayModes);
        m_displayModes->button(request.displayMode - 1)->setChecked(true);
        m_state.displayMode = request.displayMode;
        m_logHeightCheck->setEnabled(request.displayMode == sampling::dmModulus);
    }
    // The grid field takes its value without a fill; the first draw fills.
    const bool ready = m_ready;
    m_ready = false;
    m_gridPointsField->SetValue(request.points);
    m_ready = ready;
    m_logHeightCheck->setChecked(request.logHeight);
    m_colorings->actions().at(static_cast<int>(options.coloring))->setChecked(true);
    m_wheels->actions().at(static_cast<int>(options.wheel))->setChecked(true);
    m_legendAction->setChecked(options.legend);
    coloringChosen();
    m_angleXField->SetValue(options.angleX);
    m_angleZField->SetValue(options.angleZ);
    m_magnificationField->SetValue(options.size);
    m_meshCheck->setChecked(options.mesh);
    m_scalesCheck->setChecked(options.coords);
    m_boxCheck->setChecked(options.box);
}
