// The main window: its controls and their layout, and the handlers of the
// formula line, the view and interval fields, the check boxes and the
// simulation timer.
#include "app/mainwindow.h"

#include "app/errorreport.h"
#include "app/pictureexport.h"
#include "app/spinfield.h"
#include "app/surfaceoptions.h"
#include "app/windowplot.h"
#include "qtplot/plotwidget.h"
#include "realformula/interpreter.h"
#include "runtime/fpu.h"
#include "text/cp1252.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QColorDialog>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFocusEvent>
#include <QFontInfo>
#include <QGroupBox>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QStyle>
#include <QToolTip>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <cmath>

std::string FormulaText;
int DisplayMode = 1;
bool SweepUp = false;

namespace {

using windowplot::PlotHeight;
using windowplot::PlotWidth;
constexpr int BottomPanelHeight = 56;
constexpr int RightPanelWidth = 185;
const QColor PanelColor(0xF0, 0xF0, 0xF0);
const QColor Navy(0x00, 0x00, 0x80);

std::string Bytes(const QString& s) {
    return text::Utf8ToCp1252(s.toStdString());
}

void SetBackground(QWidget* w, const QColor& color, QPalette::ColorRole role = QPalette::Window) {
    QPalette p = w->palette();
    p.setColor(role, color);
    w->setPalette(p);
    if (role == QPalette::Window) w->setAutoFillBackground(true);
}

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

TColor FromQColor(const QColor& c) {
    return RGB(c.red(), c.green(), c.blue());
}

// A line's note: a tint, on wide lines a warning sign at the end, and the
// text as tooltip; no note restores the white line. Unchanged notes are left
// alone, so a simulation that fills every 15 ms does not churn the widget.
void ShowNote(QLineEdit* line, const feedback::Note& note) {
    const QString text = QString::fromStdString(note.text);
    const char* const kMarker = "marker";
    auto* marker = line->findChild<QAction*>(QLatin1String(kMarker), Qt::FindDirectChildrenOnly);
    const QColor tint = note.severity == feedback::Severity::Fault  ? QColor(0xFF, 0xE1, 0xE1)
                        : note.severity == feedback::Severity::Hint ? QColor(0xFF, 0xF4, 0xC8)
                                                                    : QColor(Qt::white);
    if (line->toolTip() == text && line->palette().color(QPalette::Base) == tint) return;
    SetBackground(line, tint, QPalette::Base);
    line->setToolTip(text);
    if (text.isEmpty()) {
        delete marker;
        return;
    }
    if (!marker && line->width() >= 100) {
        marker =
            new QAction(line->style()->standardIcon(QStyle::SP_MessageBoxWarning), QString(), line);
        marker->setObjectName(QLatin1String(kMarker));
        line->addAction(marker, QLineEdit::TrailingPosition);
    }
    if (marker) marker->setToolTip(text);
}

// A formula for a message: quoted, and cut after 60 characters.
QString QuotedFormula(const std::string& cp1252) {
    QString f = QString::fromStdString(text::Cp1252ToUtf8(cp1252.substr(0, 61)));
    if (f.size() > 60) f = f.left(60) + QString::fromUtf8("…");
    return QString::fromUtf8("»") + f + QString::fromUtf8("«");
}

QString Number(long double v) {
    return QString::number(static_cast<double>(v), 'g', 8);
}

QString ComplexText(Complex w) {
    const long double im = w.im;
    return Number(w.re) + (std::signbit(im) ? QString::fromUtf8(" − ") : QStringLiteral(" + ")) +
           Number(std::fabs(im)) + QStringLiteral("i");
}

} // namespace

QFont WindowFont() {
    QFont font(QStringLiteral("Verdana"));
    font.setPixelSize(12);
    if (QFontInfo(font).family() != QLatin1String("Verdana")) {
        font = QFont(QString::fromLatin1(FallbackFontFace));
        font.setPixelSize(12);
    }
    return font;
}

// ---------------------------------------------------------------------------
// Building the window

Tfplot3d::Tfplot3d(QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
    setWindowTitle(QStringLiteral("Darstellung komplexer Funktionen "));
    setFont(WindowFont());
    SetBackground(this, Qt::white);

    createPanels();
    createFormulaPanel();
    createViewControls();
    createIntervalControls();
    createSimulationControls();
    createMenu();
    nameControls();
    setTabOrder();
    loadPlotSettings();
    Timer1.setInterval(15);
    m_progressTimer.setInterval(100);
    connect(&m_progressTimer, &QTimer::timeout, this, [this] { showFillProgress(); });
    m_filler = std::make_unique<BackgroundFill>([this](std::uint64_t job) {
        QMetaObject::invokeMethod(
            this, [this, job] { fillEnded(job); }, Qt::QueuedConnection);
    });
    wireHandlers();

    const int menuHeight = MM1->sizeHint().height();
    setFixedSize(ClientWidth, ClientHeight + menuHeight);
    if (QScreen* s = screen()) move(s->availableGeometry().center() - rect().center());

    errorreport::Guarded([this] { FormCreate(); });
    P2Resize();
}

Tfplot3d::~Tfplot3d() {
    Timer1.stop();
    // The worker goes first: it must not hand a result to a window half gone.
    m_filler.reset();
}

TPlot3D& Tfplot3d::Plot() {
    return P3D1->Plot();
}

const QTimer& Tfplot3d::SimulationTimer() const {
    return Timer1;
}

bool Tfplot3d::IsReady() const {
    return Ready;
}

void Tfplot3d::SetReady(bool ready) {
    Ready = ready;
}

void Tfplot3d::createPanels() {
    auto* client = new QWidget(this);
    client->setFixedSize(ClientWidth, ClientHeight);
    SetBackground(client, Qt::white);
    setCentralWidget(client);

    P3D1 = new PlotWidget(client);
    P3D1->setGeometry(0, 0, PlotWidth, PlotHeight);
    P3D1->setCursor(Qt::PointingHandCursor);
    P3D1->Plot().SetSize(PlotWidth, PlotHeight);
    P3D1->installEventFilter(this);
    // Shown while a fill takes longer than half a second.
    m_progress = new QProgressBar(P3D1);
    m_progress->setGeometry(16, PlotHeight - 36, 260, 20);
    m_progress->setRange(0, sampling::GridPoints * sampling::GridPoints);
    m_progress->setFormat(QString::fromUtf8("Fläche wird berechnet: %p %"));
    m_progress->setObjectName(QStringLiteral("FillProgress"));
    m_progress->hide();

    P2 = new QWidget(client);
    P2->setGeometry(0, ClientHeight - BottomPanelHeight, ClientWidth, BottomPanelHeight);
    SetBackground(P2, PanelColor);
    P2->installEventFilter(this);

    P4 = new QWidget(client);
    P4->setGeometry(ClientWidth - RightPanelWidth, 0, RightPanelWidth,
                    ClientHeight - BottomPanelHeight);
    SetBackground(P4, PanelColor);
}

void Tfplot3d::createFormulaPanel() {
    L8 = MakeLabel(P2, 16, 16, QStringLiteral("F(X,Y) ="));
    E7 = new FormulaLine(P2);
    E7->setGeometry(80, 14, 505, 22);
    E7->setText(QStringLiteral("SIN(Z+Q)*Z/10"));
    SetBackground(E7, Qt::white, QPalette::Base);
}

void Tfplot3d::createViewControls() {
    L9 = MakeLabel(P4, 16, 16, QStringLiteral("Darstellung"));
    L1 = MakeLabel(P4, 32, 40, QStringLiteral("x-Winkel"));
    Rx1 = MakeSpin(P4, {104, 36, 60, 22, 0, 0, 360, 1, 66});
    L2 = MakeLabel(P4, 32, 68, QStringLiteral("z-Winkel"));
    Rx2 = MakeSpin(P4, {104, 64, 60, 22, 0, 0, 360, 1, 115});
    L3 = MakeLabel(P4, 51, 100, QStringLiteral("Größe"));
    Rx3 = MakeSpin(P4, {104, 96, 60, 22, 2, 0, 2, 0.02, 1.1});
    L4 = MakeLabel(P4, 22, 128, QStringLiteral("Abstufung"));
    Rx4 = MakeSpin(P4, {104, 124, 60, 22, 1, 0, 9.9, 0.1, 8});
    Rx3->setToolTip(QString::fromUtf8("Größe des Bildes (Vergrößerungsfaktor)"));
    Rx4->setToolTip(
        QString::fromUtf8("Abstufung: oberes Ende der Farbskala; sie reicht bis 15 darunter"));
    SetBackground(L9, Navy, QPalette::WindowText);
}

void Tfplot3d::createIntervalControls() {
    L10 = MakeLabel(P4, 16, 160, QStringLiteral("Koordinatenintervalle"));
    SetBackground(L10, Navy, QPalette::WindowText);
    E1 = MakeEdit(P4, 22, 188, 50, 22, "-4");
    E2 = MakeEdit(P4, 22, 216, 50, 22, "-4");
    E3 = MakeEdit(P4, 22, 244, 50, 22, "-4");
    L5 = MakeLabel(P4, 76, 192, QStringLiteral("< x <"));
    L7 = MakeLabel(P4, 76, 220, QStringLiteral("< y <"));
    L6 = MakeLabel(P4, 76, 248, QStringLiteral("< z <"));
    E4 = MakeEdit(P4, 120, 188, 50, 22, "4");
    E5 = MakeEdit(P4, 120, 216, 50, 22, "4");
    E6 = MakeEdit(P4, 120, 244, 50, 22, "4");

    CB4 = new QCheckBox(QStringLiteral("Koordinaten zeigen"), P4);
    CB4->setGeometry(20, 280, 173, 17);
    CB1 = new QCheckBox(QStringLiteral("Koordinatenachsen"), P4);
    CB1->setGeometry(20, 297, 149, 17);
    CB3 = new QCheckBox(QStringLiteral("Gitter anzeigen"), P4);
    CB3->setGeometry(20, 315, 141, 17);
    CB3->setChecked(true);
}

void Tfplot3d::createSimulationControls() {
    Rg1 = MakeRadioGroup(P4, QRect(16, 340, 153, 82), QStringLiteral("Simulation"),
                         {QStringLiteral("x-Achsendrehung"), QStringLiteral("z-Achsendrehung"),
                          QStringLiteral("Änderung von Q")},
                         1, Rg1Items);
    D2 = new QPushButton(QStringLiteral("Simulation"), P4);
    D2->setGeometry(16, 436, 153, 25);

    // The Q step in hundredths: buttons and arrow keys only.
    Rx6 = MakeSpin(P4, {16, 473, 40, 21, 0, 1, 20, 1, 10});
    Rx6->setFrame(false);
    SetBackground(Rx6, PanelColor, QPalette::Base);
    Rx6->setTypingEnabled(false);
    Rx6->setToolTip(QString::fromUtf8(
        "Schrittweite von Q bei der Simulation »Änderung von Q«, in Hundertsteln"));
    L11 = MakeLabel(P4, 72, 474, QStringLiteral("Q ="));
    Rx5 = MakeSpin(P4, {104, 472, 60, 22, 2, -10, 10, 0.01, 1});

    D1 = new QPushButton(QStringLiteral("Zeichnen"), P4);
    D1->setGeometry(16, 518, 153, 25);
    RadioGroup1 = MakeRadioGroup(P4, QRect(16, 552, 153, 97), QStringLiteral("Darstellung"),
                                 {QStringLiteral("Realteil"), QStringLiteral("Imaginärteil"),
                                  QStringLiteral("Betrag"), QStringLiteral("Raumphasenplot")},
                                 0, RadioGroup1Items);
}

void Tfplot3d::createMenu() {
    MM1 = menuBar();
    // The "&" marks each caption's mnemonic (Alt + letter); it is not shown.
    M2 = MM1->addAction(QStringLiteral("&Beenden"));
    M2->setShortcut(Qt::Key_Escape);
    QMenu* view = MM1->addMenu(QStringLiteral("&Darstellung"));
    M4 = view->menuAction();
    M6 = view->addAction(QStringLiteral("&Grundeinstellung"));
    M7 = view->addAction(QStringLiteral("&Verkleinern"));
    M8 = view->addAction(QStringLiteral("Ve&rgrößern"));
    N4 = view->addSeparator();
    M9 = view->addAction(QStringLiteral("Farbe &1"));
    M12 = view->addAction(QStringLiteral("Farbe &2"));
    // The exports.
    N5 = view->addSeparator();
    M13 = view->addAction(QString::fromUtf8("Bild &speichern …"));
    M13->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    M14 = view->addAction(QStringLiteral("Bild &kopieren"));
    M14->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
    M15 = view->addAction(QString::fromUtf8("&Daten speichern …"));
    sim1 = MM1->addAction(QStringLiteral("&Simulation"));
    sim1->setShortcut(Qt::Key_F2);
    // The hidden item: not in the menu bar, but its shortcut works in the
    // whole window (an invisible action would lose its shortcut).
    M3 = new QAction(QStringLiteral("M"), this);
    M3->setShortcuts({QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
    addAction(M3);
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
    for (QAction* a : {M2, M3}) a->setShortcutContext(Qt::WindowShortcut);
    // F2 also reaches the simulation while the error report has the focus,
    // which Esc and Enter close without touching the window.
    sim1->setShortcutContext(Qt::ApplicationShortcut);
}

void Tfplot3d::nameControls() {
    const std::pair<QObject*, const char*> names[] = {
        {P3D1, "P3D1"},
        {P2, "P2"},
        {&Timer1, "Timer1"},
        {L8, "L8"},
        {E7, "E7"},
        {MM1, "MM1"},
        {M2, "M2"},
        {M3, "M3"},
        {sim1, "sim1"},
        {M4, "M4"},
        {M6, "M6"},
        {M7, "M7"},
        {M8, "M8"},
        {N4, "N4"},
        {M9, "M9"},
        {M12, "M12"},
        {N5, "N5"},
        {M13, "M13"},
        {M14, "M14"},
        {M15, "M15"},
        {P4, "P4"},
        {L9, "L9"},
        {L1, "L1"},
        {Rx1, "Rx1"},
        {L2, "L2"},
        {Rx2, "Rx2"},
        {L4, "L4"},
        {Rx4, "Rx4"},
        {Rx3, "Rx3"},
        {L3, "L3"},
        {L10, "L10"},
        {L5, "L5"},
        {L6, "L6"},
        {L7, "L7"},
        {E1, "E1"},
        {E2, "E2"},
        {E3, "E3"},
        {E4, "E4"},
        {E5, "E5"},
        {E6, "E6"},
        {CB3, "CB3"},
        {CB4, "CB4"},
        {CB1, "CB1"},
        {Rg1, "Rg1"},
        {Rg1Items, "Rg1Items"},
        {D2, "D2"},
        {Rx5, "Rx5"},
        {L11, "L11"},
        {Rx6, "Rx6"},
        {D1, "D1"},
        {RadioGroup1, "RadioGroup1"},
        {RadioGroup1Items, "RadioGroup1Items"},
    };
    for (const auto& [object, name] : names) object->setObjectName(QString::fromLatin1(name));
}

void Tfplot3d::setTabOrder() {
    QList<QWidget*> order = {E7, Rx1, Rx2, Rx4, Rx3, E1, E2, E3, E4, E5, E6, CB3, CB4, CB1};
    for (QAbstractButton* b : Rg1Items->buttons()) order.append(b);
    order.append({Rx5, Rx6, D2, D1});
    for (QAbstractButton* b : RadioGroup1Items->buttons()) order.append(b);
    for (QButtonGroup* group : {Rg1Items, RadioGroup1Items})
        for (QAbstractButton* b : group->buttons()) b->installEventFilter(this);
    for (int k = 0; k + 1 < order.size(); ++k) QWidget::setTabOrder(order[k], order[k + 1]);
}

void Tfplot3d::loadPlotSettings() {
    sampling::LoadWindowPlotSettings(Plot());
}

// Every entry point runs its handler through the error report.
void Tfplot3d::wireHandlers() {
    using errorreport::Guarded;
    auto guard = [](auto handler) { return [handler] { Guarded(handler); }; };

    for (SpinField* f : {Rx1, Rx2, Rx3}) f->OnChange = [this, f] { rx1C(f); };
    Rx4->OnChange = [this] { rx4C(); };
    Rx5->OnChange = [this] { Rx5C(); };

    connect(CB3, &QCheckBox::toggled, this, guard([this] { CB3C(); }));
    connect(CB4, &QCheckBox::toggled, this, guard([this] { CB4C(); }));
    connect(CB1, &QCheckBox::toggled, this, guard([this] { CB1C(); }));
    connect(E7, &FormulaLine::clicked, this, guard([this] { CB1C(); }));
    connect(D1, &QPushButton::clicked, this, guard([this] { D1C(); }));
    connect(D2, &QPushButton::clicked, this, guard([this] { S25C(); }));
    connect(RadioGroup1Items, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (checked) Guarded([this] { RadioGroup1Click(); });
    });

    connect(M2, &QAction::triggered, this, guard([this] { S7C(); }));
    connect(M3, &QAction::triggered, this, guard([this] { D1C(); }));
    connect(sim1, &QAction::triggered, this, guard([this] { S25C(); }));
    connect(M6, &QAction::triggered, this, guard([this] { M6C(); }));
    connect(M7, &QAction::triggered, this, guard([this] { M7C(M7); }));
    connect(M8, &QAction::triggered, this, guard([this] { M7C(M8); }));
    connect(M9, &QAction::triggered, this, guard([this] { P1C(M9); }));
    connect(M12, &QAction::triggered, this, guard([this] { P1C(M12); }));
    connect(M13, &QAction::triggered, this, guard([this] { saveImage(); }));
    connect(M14, &QAction::triggered, this, guard([this] { copyImage(); }));
    connect(M15, &QAction::triggered, this, guard([this] { saveData(); }));
    connect(&Timer1, &QTimer::timeout, this, guard([this] { T1Ti(); }));

    Plot().OnMouseAction = [this](TPlot3D&, int& cx, int& cy, double& rx, double& rz, double& mag,
                                  TShiftState shift) {
        Guarded([&] { P3D1M(cx, cy, rx, rz, mag, shift); });
    };
    Plot().OnDataRendered = [this](TPlot3D&, Canvas*& canvas) { Guarded([&] { P3D1D(canvas); }); };

    ChooseColor = [this](TColor initial, TColor& chosen) {
        errorreport::ModalScope modal;
        const QColor c = QColorDialog::getColor(QtCanvas::ToQColor(initial), this);
        if (!c.isValid()) return false;
        chosen = FromQColor(c);
        return true;
    };
    ChooseSaveFile = [this](const QString& caption, const QString& filters) {
        errorreport::ModalScope modal;
        return QFileDialog::getSaveFileName(this, caption, QString(), filters);
    };
    ShowProblem = [this](const QString& text) {
        errorreport::ModalScope modal;
        QMessageBox::warning(this, QApplication::applicationName(), text);
    };
}

bool Tfplot3d::eventFilter(QObject* watched, QEvent* event) {
    if (watched == P3D1 && event->type() == QEvent::ToolTip) {
        showPlotReadOut(static_cast<QHelpEvent*>(event));
        return true;
    }
    if (watched == P2 && event->type() == QEvent::Resize)
        errorreport::Guarded([this] { P2Resize(); });
    // A radio group is one tab stop whose focus lands on the selected item.
    if (event->type() == QEvent::FocusIn) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        for (QButtonGroup* group : {Rg1Items, RadioGroup1Items}) {
            QAbstractButton* selected = group->checkedButton();
            if (selected && selected != watched && group->buttons().contains(watched) &&
                (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason))
                selected->setFocus(reason);
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void Tfplot3d::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (m_activated) return;
    m_activated = true;
    if (QScreen* s = screen()) move(s->availableGeometry().center() - rect().center());
    errorreport::Guarded([this] { FormActivate(); });
}

void Tfplot3d::wheelEvent(QWheelEvent* event) {
    // One step per event whatever its size; the event stays unhandled.
    const int delta = event->angleDelta().y();
    if (delta < 0) errorreport::Guarded([this] { FormMouseWheelDown(); });
    if (delta > 0) errorreport::Guarded([this] { FormMouseWheelUp(); });
    event->ignore();
}

std::array<QLineEdit*, 6> Tfplot3d::intervalFields() const {
    return {E1, E2, E3, E4, E5, E6};
}

// ---------------------------------------------------------------------------
// Start-up and the draw request

void Tfplot3d::FormCreate() {
    // The window cannot be resized; moving it is left to the window manager,
    // which Qt does not let a program forbid.
    Plot().SetCentX(P3D1->width() / 2);
    Plot().SetCentY(P3D1->height() / 2);
    Rx3->SetValue(P3D1->height() / 540.0 * 1.1);
    Plot().SetMagnification(Rx3->Value());
    Ready = true;
}

void Tfplot3d::FormActivate() {
    FormShow([this] {
        L8->setText(QStringLiteral("F(Z) ="));
        L8->adjustSize();
        Plot().Paint();
        Rx5->SetValue(ParamQ);
        D1C();
    });
}

void Tfplot3d::RadioGroup1Click() {
    const int index = RadioGroup1Items->checkedId();
    if (index >= 0 && index <= 3) DisplayMode = index + 1;
    D1C();
}

void Tfplot3d::P2Resize() {
    E7->resize(P2->width() - E7->x() - P4->width() - 20, E7->height());
}

void Tfplot3d::S7C() {
    cancelFill();
    close();
}

// The fields are applied before the one fill, so that the request succeeds
// exactly when the surface over the new ranges can be computed.
void Tfplot3d::D1C() {
    FormulaText = E7->FormulaBytes();
    applyIntervalFields();
    FormShow([this] { Plot().Paint(); });
}

// The points are computed on the worker even when the handler waits for them,
// so that a fill never holds the window for longer than FillWait.
void Tfplot3d::FormShow(std::function<void()> then) {
    endBackgroundFill();
    const std::uint64_t job =
        m_filler->Start(sampling::MakeFillJob(Plot(), FormulaText, DisplayMode));
    if (std::optional<sampling::FillResult> result = m_filler->Wait(job, FillWait)) {
        applyFill(*result, FormulaText);
        if (then) then();
        return;
    }
    m_backgroundJob = job;
    m_backgroundFormula = FormulaText;
    m_afterFill = std::move(then);
    m_fillClock.start();
    m_progressTimer.start();
}

void Tfplot3d::applyFill(const sampling::FillResult& result, const std::string& formula) {
    try {
        sampling::ApplyFill(Plot(), result, &m_fill);
    } catch (const rt::EMathError& e) {
        ShowNote(E7, {feedback::Severity::Fault,
                      std::string("Rechenfehler: ") + e.what() + "; die Fläche ist unvollständig"});
        // The report names the formula that failed.
        throw rt::EMathError(std::string(e.what()) + " bei der Formel " +
                             QuotedFormula(formula).toStdString());
    }
    ShowNote(E7, feedback::FormulaNote(formula, m_fill.report, m_fill.points * m_fill.points));
}

// A background fill has ended: it is applied as an entry point of its own.
void Tfplot3d::fillEnded(std::uint64_t job) {
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

bool Tfplot3d::FillRunning() const {
    return m_backgroundJob != 0;
}

// A cancelled fill leaves the grid, the record and the picture as they were.
void Tfplot3d::cancelFill() {
    m_filler->Cancel();
    endBackgroundFill();
}

void Tfplot3d::endBackgroundFill() {
    m_backgroundJob = 0;
    m_afterFill = {};
    m_progressTimer.stop();
    if (m_progress->isVisible()) {
        m_progress->hide();
        P3D1->setCursor(Qt::PointingHandCursor);
        centralWidget()->unsetCursor();
    }
}

void Tfplot3d::showFillProgress() {
    if (!FillRunning() || m_fillClock.elapsed() < 500) return;
    if (!m_progress->isVisible()) {
        P3D1->setCursor(Qt::BusyCursor);
        centralWidget()->setCursor(Qt::BusyCursor);
        m_progress->show();
    }
    m_progress->setValue(m_filler->PointsDone());
}

const sampling::FillRecord& Tfplot3d::LastFill() const {
    return m_fill;
}

QString Tfplot3d::ReadOut(int x, int y) const {
    const TPlot3D& plot = P3D1->Plot();
    int cellX = 0, cellY = 0;
    if (m_fill.points == 0 || !plot.HitTest(x, y, cellX, cellY)) return {};
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
void Tfplot3d::showPlotReadOut(QHelpEvent* event) {
    const QString text =
        QApplication::mouseButtons() == Qt::NoButton ? ReadOut(event->x(), event->y()) : QString();
    if (text.isEmpty()) {
        QToolTip::hideText();
        return;
    }
    QToolTip::showText(event->globalPos(), text, P3D1,
                       QRect(event->pos() - QPoint(2, 2), QSize(5, 5)));
}

double Tfplot3d::FieldValue(QLineEdit* field) const {
    return sampling::FieldValue(Bytes(field->text()));
}

void Tfplot3d::E1C(std::function<void()> then) {
    applyIntervalFields();
    if (Ready)
        FormShow(std::move(then));
    else if (then)
        then();
}

void Tfplot3d::applyIntervalFields() {
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
    for (std::size_t k = 0; k < fields.size(); ++k)
        ShowNote(fields[k], feedback::FieldNote(texts[k], status[k]));
}

// ---------------------------------------------------------------------------
// View controls

void Tfplot3d::rx1C(QObject* sender) {
    if (sender == Rx1) Plot().SetViewAngleX(std::nearbyint(Rx1->Value()));
    if (sender == Rx2) Plot().SetViewAngleZ(std::nearbyint(Rx2->Value()));
    if (sender == Rx3) Plot().SetMagnification(Rx3->Value());
}

void Tfplot3d::rx4C() {
    Plot().SetColorScaleHigh(Rx4->Value());
    Plot().SetColorScaleLow(Rx4->Value() - 15);
}

void Tfplot3d::Rx5C() {
    sampling::SetQ(Rx5->Value());
    FormShow([this] { Plot().Paint(); });
}

void Tfplot3d::CB3C() {
    Plot().SetMeshVisible(CB3->isChecked());
}

void Tfplot3d::CB4C() {
    windowplot::ShowScales(Plot(), CB4->isChecked());
}

void Tfplot3d::CB1C() {
    TPlot3D& p = Plot();
    p.SetHoldPaint(true);
    windowplot::ShowBox(p, CB1->isChecked());
    p.SetHoldPaint(false);
}

void Tfplot3d::P1C(QObject* sender) {
    TColor chosen = clBlack;
    if (!ChooseColor || !ChooseColor(clBlack, chosen)) return;
    if (sender == M9) Plot().SetColorHigh(chosen);
    if (sender == M12) Plot().SetColorLow(chosen);
}

void Tfplot3d::M6C() {
    const auto fields = intervalFields();
    for (std::size_t k = 0; k < fields.size(); ++k)
        fields[k]->setText(
            QString::fromStdString(text::Cp1252ToUtf8(sampling::DefaultIntervalTexts[k])));
    E1C([this] { Plot().Paint(); });
}

void Tfplot3d::M7C(QObject* sender) {
    zoomFields(sender == M7 ? 1.1 : 1 / 1.1);
    D1C();
}

void Tfplot3d::zoomFields(double factor) {
    for (QLineEdit* field : intervalFields()) {
        const double v = FieldValue(field);
        field->setText(QString::fromStdString(sampling::ZoomText(v, v * factor)));
    }
}

void Tfplot3d::FormMouseWheelDown() {
    wheelStep(true);
}
void Tfplot3d::FormMouseWheelUp() {
    wheelStep(false);
}

void Tfplot3d::wheelStep(bool down) {
    if (!Ready) return;
    TPlot3D& p = Plot();
    p.SetHoldPaint(true);
    Ready = false;
    try {
        for (QLineEdit* field : intervalFields()) {
            const double v = sampling::PlainNumber(Bytes(field->text()));
            const double next = down ? v / 1.02 : v * 1.02;
            field->setText(QString::fromStdString(sampling::ZoomText(v, next)));
        }
        Ready = true;
        E1C();
    } catch (...) {
        // A failed step must not leave the plot frozen or the wheel dead.
        Ready = true;
        p.SetHoldPaint(false);
        throw;
    }
    p.SetHoldPaint(false);
}

void Tfplot3d::P3D1M(int&, int&, double& rotXAngle, double& rotZAngle, double&, TShiftState) {
    Rx1->SetValue(rotXAngle);
    Rx2->SetValue(rotZAngle);
}

void Tfplot3d::P3D1D(Canvas*& canvas) {
    windowplot::SetLabelFont(*canvas);
}

// ---------------------------------------------------------------------------
// Simulation

void Tfplot3d::S25C() {
    cancelFill();
    if (Timer1.isActive())
        Timer1.stop();
    else
        Timer1.start();
    D2->setText(Timer1.isActive() ? QStringLiteral("Stopp") : QStringLiteral("Simulation"));
}

void Tfplot3d::T1Ti() {
    switch (Rg1Items->checkedId()) {
    case 2: {
        // Ticks do not queue behind a slow fill: one that finds it running
        // is skipped.
        if (FillRunning()) return;
        double q = Rx5->Value();
        const double step = Rx6->Value() / 100;
        q = SweepUp ? q + step : q - step;
        if (q > 10) {
            q = 10;
            SweepUp = !SweepUp;
        }
        if (q < -10) {
            q = -10;
            SweepUp = !SweepUp;
        }
        sampling::SetQ(q);
        Rx5->SetValue(q);
        break;
    }
    case 1:
        turnOneDegree(Rx2);
        break;
    default:
        turnOneDegree(Rx1);
        break;
    }
}

// Wraps to 0 past 359; a field holding 360 (a drag or typing can put it
// there) would otherwise be clamped back to 360 and never turn.
void Tfplot3d::turnOneDegree(SpinField* angle) {
    double v = std::nearbyint(angle->Value()) + 1;
    if (v > 359) v = 0;
    angle->SetValue(v);
}

// ---------------------------------------------------------------------------
// Start options from the command line

void Tfplot3d::ApplyStartOptions(const surfaceoptions::SurfaceOptions& options) {
    const sampling::SurfaceRequest& request = options.request;
    const auto text = [](const std::string& cp1252) {
        return QString::fromStdString(text::Cp1252ToUtf8(cp1252));
    };
    if (options.formulaGiven) E7->setText(text(request.formula));
    const auto fields = intervalFields();
    for (std::size_t k = 0; k < fields.size(); ++k) fields[k]->setText(text(request.intervals[k]));
    {
        // The start-up's draw request draws the mode; choosing it must not.
        const QSignalBlocker blocker(RadioGroup1Items);
        RadioGroup1Items->button(request.displayMode - 1)->setChecked(true);
        DisplayMode = request.displayMode;
    }
    Rx1->SetValue(options.angleX);
    Rx2->SetValue(options.angleZ);
    Rx3->SetValue(options.size);
    CB3->setChecked(options.mesh);
    CB4->setChecked(options.coords);
    CB1->setChecked(options.box);
}

// ---------------------------------------------------------------------------
// Exports

void Tfplot3d::saveImage() {
    if (!ChooseSaveFile) return;
    QString name = ChooseSaveFile(QStringLiteral("Bild speichern"),
                                  QStringLiteral("PNG-Bild (*.png);;SVG-Grafik (*.svg)"));
    if (name.isEmpty()) return;
    if (QFileInfo(name).suffix().isEmpty()) name += QStringLiteral(".png");
    const QByteArray bytes = pictureexport::FormatOf(name) == pictureexport::Format::Svg
                                 ? pictureexport::Svg(*P3D1)
                                 : pictureexport::Png(*P3D1);
    reportWrite(name, pictureexport::WriteFile(name, bytes));
}

void Tfplot3d::copyImage() {
    QGuiApplication::clipboard()->setImage(P3D1->Image());
}

// The points of the last fill, taken when the name is known: during the Q
// sweep that is the surface on screen at that moment.
void Tfplot3d::saveData() {
    if (!ChooseSaveFile) return;
    QString name =
        ChooseSaveFile(QString::fromUtf8("Daten speichern"), QStringLiteral("CSV-Datei (*.csv)"));
    if (name.isEmpty()) return;
    if (QFileInfo(name).suffix().isEmpty()) name += QStringLiteral(".csv");
    reportWrite(name, pictureexport::WriteFile(name, pictureexport::Csv(m_fill)));
}

void Tfplot3d::reportWrite(const QString& fileName, const QString& failure) {
    if (failure.isEmpty() || !ShowProblem) return;
    ShowProblem(QString::fromUtf8("»%1« konnte nicht geschrieben werden: %2")
                    .arg(QDir::toNativeSeparators(fileName), failure));
}
