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
    client->setFixedSize(ClientWidth, ClientHeight);
    SetBackground(client, Qt::white);
    setCentralWidget(client);

    m_plotWidget = new PlotWidget(client);
    m_plotWidget->setGeometry(0, 0, PlotWidth, PlotHeight);
    m_plotWidget->setCursor(Qt::PointingHandCursor);
    m_plotWidget->Plot().SetSize(PlotWidth, PlotHeight);
    m_plotWidget->installEventFilter(this);
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
    m_formulaPanel->installEventFilter(this);

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
}

// The formula line reaches from its label to the control panel.
void MainWindow::fitFormulaLine() {
    m_formulaLine->resize(m_formulaPanel->width() - m_formulaLine->x() - m_controlPanel->width() -
                              20,
                          m_formulaLine->height());
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
    }
    m_angleXField->SetValue(options.angleX);
    m_angleZField->SetValue(options.angleZ);
    m_magnificationField->SetValue(options.size);
    m_meshCheck->setChecked(options.mesh);
    m_scalesCheck->setChecked(options.coords);
    m_boxCheck->setChecked(options.box);
}
