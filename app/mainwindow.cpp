// The main window's construction: the menus and actions, the wiring of every
// control to its slot through the error report, and the window's events.
#include "app/mainwindow.h"

#include "app/errorreport.h"
#include "app/helpwindow.h"
#include "app/linehistory.h"
#include "app/spinfield.h"
#include "app/windowplot.h"
#include "app/windowsupport.h"
#include "qtplot/plotwidget.h"
#include "qtplot/qtcanvas.h"
#include "realformula/interpreter.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QColorDialog>
#include <QFileDialog>
#include <QFocusEvent>
#include <QFontInfo>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QWheelEvent>

#include <algorithm>

QFont WindowFont() {
    QFont font(QStringLiteral("Verdana"));
    font.setPixelSize(12);
    if (QFontInfo(font).family() != QLatin1String("Verdana")) {
        font = QFont(QString::fromLatin1(FallbackFontFace));
        font.setPixelSize(12);
    }
    return font;
}

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                              Qt::WindowCloseButtonHint) {
    setWindowTitle(QStringLiteral("Darstellung komplexer Funktionen "));
    setFont(WindowFont());
    windowsupport::SetBackground(this, Qt::white);

    createPanels();
    createFormulaPanel();
    createViewControls();
    createIntervalControls();
    createSimulationControls();
    createMenus();
    createActions();
    nameControls();
    setTabOrder();
    createFieldHistories();
    rememberPanelPlaces();
    sampling::LoadWindowPlotSettings(Plot());
    m_simulationTimer.setInterval(15);
    m_progressTimer.setInterval(100);
    connect(&m_progressTimer, &QTimer::timeout, this, [this] { showFillProgress(); });
    m_filler = std::make_unique<BackgroundFill>([this](std::uint64_t job) {
        QMetaObject::invokeMethod(
            this, [this, job] { fillEnded(job); }, Qt::QueuedConnection);
    });
    connectSlots();

    const int menuHeight = m_menuBar->sizeHint().height();
    setMinimumSize(MinimumClientSize.width(), MinimumClientSize.height() + menuHeight);
    resize(ClientWidth, ClientHeight + menuHeight);
    if (QScreen* s = screen()) move(s->availableGeometry().center() - rect().center());

    errorreport::Guarded([this] { setUpPlotView(); });
    layoutPanels();
}

MainWindow::~MainWindow() {
    m_simulationTimer.stop();
    // The worker goes first: it must not hand a result to a window half gone.
    m_filler.reset();
}

TPlot3D& MainWindow::Plot() {
    return m_plotWidget->Plot();
}

const ViewState& MainWindow::State() const {
    return m_state;
}

void MainWindow::SetSweepUp(bool up) {
    m_state.sweepUp = up;
}

const QTimer& MainWindow::SimulationTimer() const {
    return m_simulationTimer;
}

bool MainWindow::IsReady() const {
    return m_ready;
}

void MainWindow::SetReady(bool ready) {
    m_ready = ready;
}

// The menu bar: "Beenden", the menu "Darstellung" with the view commands and
// the exports, and "Simulation".
void MainWindow::createMenus() {
    m_menuBar = menuBar();
    // The "&" marks each caption's mnemonic (Alt + letter); it is not shown.
    m_quitAction = m_menuBar->addAction(QStringLiteral("&Beenden"));
    m_quitAction->setShortcut(Qt::Key_Escape);
    QMenu* view = m_menuBar->addMenu(QStringLiteral("&Darstellung"));
    m_viewMenuAction = view->menuAction();
    m_resetAction = view->addAction(QStringLiteral("&Grundeinstellung"));
    m_zoomOutAction = view->addAction(QStringLiteral("&Verkleinern"));
    m_zoomInAction = view->addAction(QStringLiteral("Ve&rgrößern"));
    m_colorSeparator = view->addSeparator();
    m_highColorAction = view->addAction(QStringLiteral("Farbe &1"));
    m_lowColorAction = view->addAction(QStringLiteral("Farbe &2"));
    // The colouring: by height (as always), by the phase of F, or by height
    // with the ramp over the z interval; the hue wheel of the phase; a legend.
    QMenu* coloring = view->addMenu(QString::fromUtf8("&Färbung"));
    m_coloringMenuAction = coloring->menuAction();
    const auto addChoices = [coloring, this](const QStringList& captions) {
        auto* group = new QActionGroup(this);
        for (const QString& caption : captions) {
            QAction* a = coloring->addAction(caption);
            a->setCheckable(true);
            group->addAction(a);
        }
        group->actions().front()->setChecked(true);
        return group;
    };
    m_colorings = addChoices({QString::fromUtf8("nach &Höhe"), QStringLiteral("nach &Phase"),
                              QString::fromUtf8("nach Höhe (&z-Intervall)")});
    coloring->addSeparator();
    m_wheels = addChoices(
        {QString::fromUtf8("Farbkreis &gleichmäßig hell"), QStringLiteral("Farbkreis &HSV")});
    m_legendAction = view->addAction(QStringLiteral("&Legende"));
    m_legendAction->setCheckable(true);
    m_exportSeparator = view->addSeparator();
    m_saveImageAction = view->addAction(QString::fromUtf8("Bild &speichern …"));
    m_saveImageAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    m_copyImageAction = view->addAction(QStringLiteral("Bild &kopieren"));
    m_copyImageAction->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
    m_saveDataAction = view->addAction(QString::fromUtf8("&Daten speichern …"));
    m_copyCommandAction = view->addAction(QStringLiteral("Befehlszeile &kopieren"));
    m_copyCommandAction->setToolTip(QString::fromUtf8(
        "Der Befehl »tessarel-cli render …«, der dieses Bild schreibt, in die Zwischenablage"));
    m_simulationAction = m_menuBar->addAction(QStringLiteral("&Simulation"));
    m_simulationAction->setShortcut(Qt::Key_F2);
    QMenu* help = m_menuBar->addMenu(QStringLiteral("&Hilfe"));
    m_helpMenuAction = help->menuAction();
    m_helpAction = help->addAction(QStringLiteral("&Hilfe"));
    m_helpAction->setShortcut(Qt::Key_F1);
    m_aboutAction = help->addAction(QString::fromUtf8("Ü&ber Tessarel"));
}

// The actions outside the menu bar, and where the shortcuts reach.
void MainWindow::createActions() {
    // Enter draws: not in the menu bar, but its shortcut works in the whole
    // window (an invisible action would lose its shortcut).
    m_drawAction = new QAction(QStringLiteral("M"), this);
    m_drawAction->setShortcuts({QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
    addAction(m_drawAction);
    // F10 reaches the menu bar as Alt does: the bar takes the keyboard.
    auto* menuKey = new QAction(this);
    menuKey->setShortcut(Qt::Key_F10);
    addAction(menuKey);
    connect(menuKey, &QAction::triggered, this, [this] {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : this;
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Alt, Qt::AltModifier);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_Alt, Qt::NoModifier);
        QApplication::sendEvent(target, &press);
        QApplication::sendEvent(target, &release);
    });
    for (QAction* a : {m_quitAction, m_drawAction}) a->setShortcutContext(Qt::WindowShortcut);
    // F2 also reaches the simulation while the error report has the focus,
    // which Esc and Enter close without touching the window.
    m_simulationAction->setShortcutContext(Qt::ApplicationShortcut);
}

// Every entry point runs its slot through the error report.
void MainWindow::connectSlots() {
    using errorreport::Guarded;
    auto guard = [](auto slot) { return [slot] { Guarded(slot); }; };

    for (SpinField* f : {m_angleXField, m_angleZField, m_magnificationField})
        f->OnChange = [this, f] { viewAngleOrSizeChanged(f); };
    m_colorScaleField->OnChange = [this] { colorScaleChanged(); };
    m_qField->OnChange = [this] { qChanged(); };
    m_gridPointsField->OnChange = [this] { gridPointsChanged(); };
    connect(m_logHeightCheck, &QCheckBox::toggled, this, guard([this] { logHeightToggled(); }));

    connect(m_meshCheck, &QCheckBox::toggled, this, guard([this] { meshToggled(); }));
    connect(m_scalesCheck, &QCheckBox::toggled, this, guard([this] { scalesToggled(); }));
    connect(m_boxCheck, &QCheckBox::toggled, this, guard([this] { boxToggled(); }));
    // A click into the formula line redraws the box as its check box says.
    connect(m_formulaLine, &FormulaLine::clicked, this, guard([this] { boxToggled(); }));
    connect(m_drawButton, &QPushButton::clicked, this, guard([this] { drawRequested(); }));
    connect(m_simulationButton, &QPushButton::clicked, this, guard([this] { toggleSimulation(); }));
    connect(m_displayModes, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (checked) Guarded([this] { displayModeChanged(); });
    });

    connect(m_quitAction, &QAction::triggered, this, guard([this] { quit(); }));
    connect(m_drawAction, &QAction::triggered, this, guard([this] { drawRequested(); }));
    connect(m_simulationAction, &QAction::triggered, this, guard([this] { toggleSimulation(); }));
    connect(m_resetAction, &QAction::triggered, this, guard([this] { resetIntervals(); }));
    for (QAction* a : {m_zoomOutAction, m_zoomInAction})
        connect(a, &QAction::triggered, this, guard([this, a] { zoom(a); }));
    for (QAction* a : {m_highColorAction, m_lowColorAction})
        connect(a, &QAction::triggered, this, guard([this, a] { chooseColor(a); }));
    connect(m_saveImageAction, &QAction::triggered, this, guard([this] { saveImage(); }));
    connect(m_copyImageAction, &QAction::triggered, this, guard([this] { copyImage(); }));
    connect(m_saveDataAction, &QAction::triggered, this, guard([this] { saveData(); }));
    connect(m_copyCommandAction, &QAction::triggered, this, guard([this] { copyCommandLine(); }));
    for (QActionGroup* group : {m_colorings, m_wheels})
        connect(group, &QActionGroup::triggered, this, guard([this] { coloringChosen(); }));
    connect(m_legendAction, &QAction::toggled, this, guard([this] { coloringChosen(); }));
    connect(m_helpAction, &QAction::triggered, this,
            guard([this] { showHelp(int(HelpWindow::Page::FormulaLine)); }));
    connect(m_aboutAction, &QAction::triggered, this,
            guard([this] { showHelp(int(HelpWindow::Page::About)); }));
    connect(&m_simulationTimer, &QTimer::timeout, this, guard([this] { SimulationTick(); }));

    Plot().OnMouseAction = [this](TPlot3D&, int&, int&, double& rotX, double& rotZ, double&,
                                  TShiftState) { Guarded([&] { plotTurned(rotX, rotZ); }); };
    Plot().OnDataRendered = [](TPlot3D&, Canvas*& canvas) {
        Guarded([&] { windowplot::SetLabelFont(*canvas); });
    };

    ChooseColor = [this](TColor initial, TColor& chosen) {
        errorreport::ModalScope modal;
        const QColor c = QColorDialog::getColor(QtCanvas::ToQColor(initial), this);
        if (!c.isValid()) return false;
        chosen = RGB(c.red(), c.green(), c.blue());
        return true;
    };
    ChooseSaveFile = [this](const QString& caption, const QString& filters,
                            QString& selectedFilter) {
        errorreport::ModalScope modal;
        return QFileDialog::getSaveFileName(this, caption, QString(), filters, &selectedFilter);
    };
    ShowProblem = [this](const QString& text) {
        errorreport::ModalScope modal;
        QMessageBox::warning(this, QApplication::applicationName(), text);
    };
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_plotWidget && event->type() == QEvent::ToolTip) {
        showPlotReadOut(static_cast<QHelpEvent*>(event));
        return true;
    }
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool plain = (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
        const auto fields = intervalFields();
        for (std::size_t k = 0; k < fields.size(); ++k)
            if (watched == fields[k] && plain &&
                (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down)) {
                const std::optional<QString> shown =
                    m_fieldHistories[k]->Step(key->key() == Qt::Key_Up ? -1 : 1, fields[k]->text());
                if (shown) fields[k]->setText(*shown);
                return true;
            }
    }
    if (watched == centralWidget() && event->type() == QEvent::Resize)
        errorreport::Guarded([this] { layoutPanels(); });
    // A radio group is one tab stop whose focus lands on the selected item.
    if (event->type() == QEvent::FocusIn) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        for (QButtonGroup* group : {m_simulationKinds, m_displayModes}) {
            QAbstractButton* selected = group->checkedButton();
            if (selected && selected != watched && group->buttons().contains(watched) &&
                (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason))
                selected->setFocus(reason);
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (m_shownOnce) return;
    m_shownOnce = true;
    if (QScreen* s = screen()) move(s->availableGeometry().center() - rect().center());
    errorreport::Guarded([this] { firstShown(); });
}

// The size field as the start-up leaves it, to the plot's start height.
void MainWindow::setUpPlotView() {
    m_magnificationField->SetValue(windowplot::PlotHeight / 540.0 * 1.1);
    fitPlotView();
    m_ready = true;
}

// The picture is framed in any plot area as in the start one: the centre in
// the middle, the surface as large relative to the area (the size field
// times plotScale). The plot draws in the screen's pixels.
void MainWindow::fitPlotView() {
    TPlot3D& plot = Plot();
    const bool held = plot.HoldPaint();
    plot.SetHoldPaint(true);
    plot.SetCentX(plot.Width() / 2);
    plot.SetCentY(plot.Height() / 2);
    plot.SetMagnification(m_magnificationField->Value() * plotScale());
    if (!held) plot.SetHoldPaint(false);
}

// The plot's size in pixels against the start picture's, the smaller ratio
// of the two sides; 1 at the start size.
double MainWindow::plotScale() const {
    const TPlot3D& plot = m_plotWidget->Plot();
    return std::min(double(plot.Width()) / windowplot::PlotWidth,
                    double(plot.Height()) / windowplot::PlotHeight);
}

// The start picture: the formula line's formula over the fields, then the
// label and Q as the start-up leaves them, and one draw request.
void MainWindow::firstShown() {
    fill({}, [this] {
        m_formulaLabel->setText(QStringLiteral("F(Z) ="));
        m_formulaLabel->adjustSize();
        Plot().Paint();
        m_qField->SetValue(ParamQ);
        drawRequested();
    });
}

// Esc and "Beenden" close the window; the close ends the fill. The formula
// line's and the fields' texts are kept in their histories first.
void MainWindow::quit() {
    rememberTexts();
    close();
}

// Up and Down in an interval field go through its earlier texts.
void MainWindow::createFieldHistories() {
    m_settings =
        std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                    QStringLiteral("Tessarel"), QStringLiteral("Tessarel"));
    for (QLineEdit* field : intervalFields()) {
        m_fieldHistories.push_back(std::make_unique<LineHistory>(
            *m_settings, QStringLiteral("intervalFields/") + field->objectName()));
        field->installEventFilter(this);
        LineHistory* history = m_fieldHistories.back().get();
        connect(field, &QLineEdit::textEdited, this, [history] { history->Restart(); });
    }
}

void MainWindow::rememberTexts() {
    m_formulaLine->RememberFormula();
    const auto fields = intervalFields();
    for (std::size_t k = 0; k < fields.size(); ++k)
        m_fieldHistories[k]->Remember(fields[k]->text());
}

void MainWindow::showHelp(int page) {
    if (!m_helpWindow) {
        m_helpWindow = new HelpWindow(this);
        m_helpWindow->setObjectName(QStringLiteral("Help"));
    }
    m_helpWindow->ShowPage(static_cast<HelpWindow::Page>(page));
}

void MainWindow::closeEvent(QCloseEvent* event) {
    m_simulationTimer.stop();
    cancelFill();
    QMainWindow::closeEvent(event);
}
