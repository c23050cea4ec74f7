// The main window, driven offscreen as a user would drive it.
#include "app/errorreport.h"
#include "app/mainwindow.h"
#include "app/spinfield.h"

#include "complexformula/interpreter.h"
#include "qtplot/plotwidget.h"
#include "realformula/interpreter.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>
#include <QWheelEvent>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <functional>
#include <memory>
#include <stdexcept>

namespace {

// Error reports land here instead of in a modal box.
QStringList g_reports;

void ResetSharedState() {
    ParamQ = 0;
    ComplexParamQ = Complex{};
}

// The surface the sampling makes of a formula over default fields, to compare
// the window's grid with.
std::vector<double>
ExpectedGrid(const std::string& formula, int mode, double q = 0,
             const sampling::IntervalTexts& intervals = sampling::DefaultIntervalTexts) {
    TPlot3D plot;
    sampling::LoadWindowPlotSettings(plot);
    sampling::SurfaceRequest request;
    request.formula = formula;
    request.displayMode = mode;
    request.q = q;
    request.intervals = intervals;
    sampling::PrepareSurface(plot, request);
    std::vector<double> cells;
    for (int p = 1; p <= 36; ++p)
        for (int i = 1; i <= 36; ++i) cells.push_back(plot.SurfaceData().Cell(p, i));
    return cells;
}

class Window : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetSharedState();
        g_reports.clear();
        errorreport::SetPresenter([](const QString& text) { g_reports << text; });
        w = std::make_unique<MainWindow>();
        w->ChooseColor = [this](TColor initial, TColor& chosen) {
            ++colorDialogs;
            dialogInitial = initial;
            if (!colorToChoose) return false;
            chosen = *colorToChoose;
            return true;
        };
        w->show();
        w->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
        ParamQ = 0;
    }
    void TearDown() override {
        w.reset();
        errorreport::SetPresenter({});
        ResetSharedState();
    }

    // Controls are found by their object names, which are the window's member names.
    template <typename T = QWidget>
    T* find(const char* name) {
        T* found = w->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    SpinField* spin(const char* name) { return find<SpinField>(name); }
    QLineEdit* field(const char* name) { return find<QLineEdit>(name); }
    QAction* action(const char* name) { return find<QAction>(name); }
    void click(const char* name) { QTest::mouseClick(find(name), Qt::LeftButton); }
    const QTimer& timer() { return w->SimulationTimer(); }
    TPlot3D& plot() { return w->Plot(); }
    double cell(int p, int i) { return plot().SurfaceData().Cell(p, i); }
    std::vector<double> grid() {
        std::vector<double> cells;
        for (int p = 1; p <= 36; ++p)
            for (int i = 1; i <= 36; ++i) cells.push_back(cell(p, i));
        return cells;
    }
    void setFormula(const char* formula) { field("E7")->setText(QString::fromUtf8(formula)); }
    void press(QWidget* target, int key) {
        target->setFocus();
        QTest::keyClick(target, static_cast<Qt::Key>(key));
    }
    void wheel(int delta) {
        QWheelEvent event(QPointF(400, 300), w->mapToGlobal(QPointF(400, 300)), QPoint(),
                          QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(w.get(), &event);
    }
    QStringList fieldTexts() {
        QStringList texts;
        for (const char* name : {"E1", "E2", "E3", "E4", "E5", "E6"}) texts << field(name)->text();
        return texts;
    }
    QAbstractButton* displayItem(int k) {
        return find<QButtonGroup>("RadioGroup1Items")->button(k);
    }
    // Radio buttons take clicks on their indicator and caption only.
    void choose(QAbstractButton* item) {
        QTest::mouseClick(item, Qt::LeftButton, Qt::NoModifier, QPoint(6, item->height() / 2));
        ASSERT_TRUE(item->isChecked()) << item->text().toStdString();
    }
    void chooseDisplay(int k) { choose(displayItem(k)); }
    void chooseSimulation(int k) { choose(find<QButtonGroup>("Rg1Items")->button(k)); }

    std::unique_ptr<MainWindow> w;
    int colorDialogs = 0;
    TColor dialogInitial = 0xABCDEF;
    std::optional<TColor> colorToChoose;
};

// ---------------------------------------------------------------------------
// Start-up

TEST_F(Window, StartUpState) {
    EXPECT_EQ(spin("Rx5")->text(), "0.00");
    EXPECT_EQ(spin("Rx5")->Value(), 0);
    EXPECT_EQ(spin("Rx3")->text(), "1.33");
    EXPECT_EQ(find<QLabel>("L8")->text(), "F(Z) =");
    EXPECT_EQ(w->State().formula, "SIN(Z+Q)*Z/10");
    EXPECT_EQ(plot().Magnification(), 1.33);
    EXPECT_EQ(plot().CentX(), 411);
    EXPECT_EQ(plot().CentY(), 326);
    EXPECT_EQ(plot().ViewAngleX(), 66);
    EXPECT_EQ(plot().ViewAngleZ(), 115);
    EXPECT_DOUBLE_EQ(plot().RangeXLow(), -3.996);
    EXPECT_EQ(plot().RangeYLow(), -4);
    EXPECT_TRUE(w->IsReady());
    EXPECT_FALSE(timer().isActive());
    EXPECT_EQ(timer().interval(), 15);
    EXPECT_EQ(grid(), ExpectedGrid("SIN(Z+Q)*Z/10", 1));
    EXPECT_TRUE(g_reports.isEmpty());
}

TEST_F(Window, RenderCommandDrawsTheStartUpPicture) {
    QTemporaryDir dir;
    const QString file = dir.filePath("start.png");
    QProcess cli;
    cli.start(TESSAREL_CLI, {"render", "-o", file, "sin(z+q)*z/10"});
    ASSERT_TRUE(cli.waitForFinished(30000));
    ASSERT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
    const QImage rendered(file);
    const QImage shown = find<PlotWidget>("P3D1")->Image().convertToFormat(rendered.format());
    ASSERT_EQ(rendered.size(), QSize(823, 653));
    EXPECT_TRUE(rendered == shown);
}

TEST_F(Window, WindowProperties) {
    EXPECT_EQ(w->windowTitle(), "Darstellung komplexer Funktionen ");
    EXPECT_EQ(QApplication::applicationName(), "Tessarel");
    EXPECT_EQ(w->centralWidget()->size(), QSize(1008, 709));
    EXPECT_LT(w->minimumSize().height(), 600); // resizable, down to 800 x 600 and below
    EXPECT_TRUE(w->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(w->font().pixelSize(), 12);
    EXPECT_EQ(find<PlotWidget>("P3D1")->size(), QSize(823, 653));
    EXPECT_EQ(plot().Width(), 823);
    EXPECT_EQ(plot().Height(), 653);
    EXPECT_EQ(field("E7")->width(), 723);
    EXPECT_EQ(find<PlotWidget>("P3D1")->cursor().shape(), Qt::PointingHandCursor);
}

// At any size every control shows inside the window and none overlaps
// another; the plot takes the rest and is framed as the start picture is.
TEST_F(Window, ResizedWindowShowsEveryControl) {
    const QSize start = w->size();
    const int menu = start.height() - 709;
    for (const QSize size : {QSize(800, 600), QSize(1008, 728), QSize(1600, 1000)}) {
        SCOPED_TRACE(size.width());
        w->resize(size);
        QTest::qWait(20);
        const QSize client = w->centralWidget()->size();
        EXPECT_EQ(client, QSize(size.width(), size.height() - menu));
        EXPECT_EQ(find("P3D1")->size(), client - QSize(185, 56));
        EXPECT_EQ(plot().Width(), client.width() - 185);
        EXPECT_EQ(plot().CentX(), plot().Width() / 2);
        QList<QRect> places;
        for (const char* name :
             {"E7",  "GridPoints", "LogHeight", "Rx1", "Rx2", "Rx3",        "Rx4", "E1",
              "E2",  "E3",         "E4",        "E5",  "E6",  "CB4",        "CB1", "CB3",
              "Rg1", "D2",         "Rx6",       "Rx5", "D1",  "RadioGroup1"}) {
            QWidget* control = find(name);
            const QRect place(control->mapTo(w->centralWidget(), QPoint(0, 0)), control->size());
            const QRect panel(control->parentWidget()->mapTo(w->centralWidget(), QPoint(0, 0)),
                              control->parentWidget()->size());
            EXPECT_TRUE(panel.contains(place.topLeft()) && panel.contains(place.bottomLeft()))
                << name;
            for (const QRect& other : places) EXPECT_FALSE(place.intersects(other)) << name;
            places << place;
        }
        // The surface is as large relative to the area as in the start picture.
        EXPECT_DOUBLE_EQ(plot().Magnification(),
                         1.33 * std::min(plot().Width() / 823.0, plot().Height() / 653.0));
    }
    w->resize(start);
    QTest::qWait(20);
    EXPECT_EQ(plot().Magnification(), 1.33);
}

// "Gitterpunkte" sets the fill's N x N points; the mesh keeps about 36 lines.
TEST_F(Window, GridPointsSetTheFillAndTheMesh) {
    spin("GridPoints")->SetValue(72);
    EXPECT_EQ(w->LastFill().points, 72);
    EXPECT_EQ(plot().SurfaceData().NrOfColumns(), 72);
    EXPECT_EQ(plot().MeshStep(), 2);
    spin("GridPoints")->SetValue(36);
    EXPECT_EQ(plot().MeshStep(), 1);
    EXPECT_EQ(grid(), ExpectedGrid("SIN(Z+Q)*Z/10", 1));
}

// "logarithmisch" draws the modulus as log10 |F|, only in the modulus mode,
// and labels the z scale in powers of ten.
TEST_F(Window, LogHeightOfTheModulus) {
    EXPECT_FALSE(find("LogHeight")->isEnabled());
    setFormula("Z");
    chooseDisplay(2);
    ASSERT_TRUE(find("LogHeight")->isEnabled());
    find<QCheckBox>("LogHeight")->click();
    const sampling::SamplePoint& s = w->LastFill().At(36, 36);
    EXPECT_DOUBLE_EQ(s.drawn, std::log10(std::hypot(s.x, s.y)));
    EXPECT_TRUE(plot().LogScaleZ());
    chooseDisplay(0);
    EXPECT_FALSE(plot().LogScaleZ());
    EXPECT_DOUBLE_EQ(cell(36, 36), 3.996); // the real part, as always
}

TEST_F(Window, ControlsWhereTheyBelong) {
    QWidget* const client = w->centralWidget();
    QWidget* const p2 = find("P2");
    QWidget* const p4 = find("P4");
    const struct {
        const char* name;
        QWidget* parent;
        QRect bounds;
    } rows[] = {
        {"P2", client, {0, 653, 1008, 56}}, {"P4", client, {823, 0, 185, 653}},
        {"E7", p2, {80, 14, 723, 22}},      {"Rx1", p4, {104, 36, 60, 22}},
        {"Rx2", p4, {104, 64, 60, 22}},     {"Rx3", p4, {104, 96, 60, 22}},
        {"Rx4", p4, {104, 124, 60, 22}},    {"E1", p4, {22, 188, 50, 22}},
        {"E2", p4, {22, 216, 50, 22}},      {"E3", p4, {22, 244, 50, 22}},
        {"E4", p4, {120, 188, 50, 22}},     {"E5", p4, {120, 216, 50, 22}},
        {"E6", p4, {120, 244, 50, 22}},     {"CB4", p4, {20, 280, 173, 17}},
        {"CB1", p4, {20, 297, 149, 17}},    {"CB3", p4, {20, 315, 141, 17}},
        {"Rg1", p4, {16, 340, 153, 82}},    {"D2", p4, {16, 436, 153, 25}},
        {"Rx6", p4, {16, 473, 40, 21}},     {"Rx5", p4, {104, 472, 60, 22}},
        {"D1", p4, {16, 518, 153, 25}},     {"RadioGroup1", p4, {16, 552, 153, 97}},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(find(r.name)->parentWidget(), r.parent) << r.name;
        EXPECT_EQ(find(r.name)->geometry(), r.bounds) << r.name;
    }
    const struct {
        const char* name;
        QPoint at;
        const char* caption;
    } labels[] = {
        {"L8", {16, 16}, "F(Z) ="},
        {"L9", {16, 16}, "Darstellung"},
        {"L1", {32, 40}, "x-Winkel"},
        {"L2", {32, 68}, "z-Winkel"},
        {"L3", {51, 100}, "Größe"},
        {"L4", {22, 128}, "Abstufung"},
        {"L10", {16, 160}, "Koordinatenintervalle"},
        {"L5", {76, 192}, "< x <"},
        {"L7", {76, 220}, "< y <"},
        {"L6", {76, 248}, "< z <"},
        {"L11", {72, 474}, "Q ="},
    };
    for (const auto& l : labels) {
        EXPECT_EQ(find(l.name)->pos(), l.at) << l.name;
        EXPECT_EQ(find<QLabel>(l.name)->text(), QString::fromUtf8(l.caption)) << l.name;
    }
    EXPECT_EQ(find<QLabel>("L9")->palette().color(QPalette::WindowText), QColor(0, 0, 0x80));
    EXPECT_EQ(find("P4")->palette().color(QPalette::Window), QColor(0xF0, 0xF0, 0xF0));
    EXPECT_EQ(spin("Rx6")->palette().color(QPalette::Base), QColor(0xF0, 0xF0, 0xF0));
    EXPECT_FALSE(spin("Rx6")->hasFrame());
}

TEST_F(Window, StoredFieldSettings) {
    const struct {
        const char* name;
        int decimals;
        double minimum, maximum, increment;
        const char* text;
    } rows[] = {
        {"Rx1", 0, 0, 360, 1, "66"},       {"Rx2", 0, 0, 360, 1, "115"},
        {"Rx3", 2, 0, 2, 0.02, "1.33"},    {"Rx4", 1, 0, 9.9, 0.1, "8.0"},
        {"Rx5", 2, -10, 10, 0.01, "0.00"}, {"Rx6", 0, 1, 20, 1, "10"},
    };
    for (const auto& r : rows) {
        const SpinField* f = spin(r.name);
        EXPECT_EQ(f->decimals(), r.decimals) << r.name;
        EXPECT_EQ(f->minimum(), r.minimum) << r.name;
        EXPECT_EQ(f->maximum(), r.maximum) << r.name;
        EXPECT_EQ(f->increment(), r.increment) << r.name;
        EXPECT_EQ(f->text(), r.text) << r.name;
    }
    EXPECT_FALSE(spin("Rx6")->typingEnabled());
    EXPECT_TRUE(find<QCheckBox>("CB3")->isChecked());
    EXPECT_FALSE(find<QCheckBox>("CB4")->isChecked());
    EXPECT_FALSE(find<QCheckBox>("CB1")->isChecked());
    EXPECT_EQ(find<QButtonGroup>("Rg1Items")->checkedId(), 1);
    EXPECT_EQ(find<QButtonGroup>("RadioGroup1Items")->checkedId(), 0);
    EXPECT_EQ(field("E7")->text(), "SIN(Z+Q)*Z/10");
    EXPECT_EQ(fieldTexts(), QStringList({"-4", "-4", "-4", "4", "4", "4"}));
}

// The caption as shown: without the "&" that marks the mnemonic.
QString Shown(const QAction* a) {
    return QString(a->text()).remove('&');
}

TEST_F(Window, MenuItems) {
    const struct {
        const char* name;
        const char* caption;
        QKeySequence shortcut;
        char mnemonic;
    } rows[] = {
        {"M2", "Beenden", QKeySequence(Qt::Key_Escape), 'B'},
        {"M4", "Darstellung", {}, 'D'},
        {"M6", "Grundeinstellung", {}, 'G'},
        {"M7", "Verkleinern", {}, 'V'},
        {"M8", "Vergrößern", {}, 'r'},
        {"M9", "Farbe 1", {}, '1'},
        {"M12", "Farbe 2", {}, '2'},
        {"M13", "Bild speichern …", QKeySequence(Qt::CTRL | Qt::Key_S), 's'},
        {"M14", "Bild kopieren", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C), 'k'},
        {"M15", "Daten speichern …", {}, 'D'},
        {"sim1", "Simulation", QKeySequence(Qt::Key_F2), 'S'},
        {"M3", "M", QKeySequence(Qt::Key_Return), 0},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(Shown(action(r.name)), QString::fromUtf8(r.caption)) << r.name;
        EXPECT_EQ(action(r.name)->shortcut(), r.shortcut) << r.name;
        const qsizetype amp = action(r.name)->text().indexOf('&');
        EXPECT_EQ(amp < 0 ? 0 : action(r.name)->text().at(amp + 1).toLatin1(), r.mnemonic)
            << r.name;
    }
    EXPECT_TRUE(action("N4")->isSeparator());
    EXPECT_TRUE(action("N5")->isSeparator());
    auto* view = action("M4")->menu();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->actions().mid(view->actions().indexOf(action("N5"))),
              QList<QAction*>({action("N5"), action("M13"), action("M14"), action("M15"),
                               action("CopyCommand")}));
    const QList<QAction*> bar = find<QMenuBar>("MM1")->actions();
    EXPECT_FALSE(bar.contains(action("M3"))); // the hidden item
    EXPECT_EQ(bar,
              QList<QAction*>({action("M2"), action("M4"), action("sim1"), action("HelpMenu")}));
}

TEST_F(Window, TabOrder) {
    field("E7")->setFocus();
    QList<QWidget*> visited;
    for (int k = 0; k < 17; ++k) {
        visited << QApplication::focusWidget();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QList<QWidget*> expected;
    // The panel top to bottom, each lower bound before its upper bound.
    for (const char* name : {"E7", "Rx1", "Rx2", "Rx3", "Rx4", "E1", "E4", "E2", "E5", "E3", "E6",
                             "CB4", "CB1", "CB3"})
        expected << find(name);
    expected << find<QButtonGroup>("Rg1Items")->checkedButton() << find("D2") << find("Rx6");
    EXPECT_EQ(visited, expected);
    EXPECT_EQ(QApplication::focusWidget(), find("Rx5"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), find<QPushButton>("D1"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), find<QButtonGroup>("RadioGroup1Items")->checkedButton());
}

// ---------------------------------------------------------------------------
// The draw request

TEST_F(Window, EnterDrawsFromEveryControl) {
    const struct {
        const char* name;
        QWidget* control;
    } rows[] = {
        {"formula line", field("E7")},
        {"interval field", field("E3")},
        {"angle field", spin("Rx1")},
        {"Q field", spin("Rx5")},
        {"Q step field", spin("Rx6")},
        {"check box", find<QCheckBox>("CB4")},
        {"button", find<QPushButton>("D2")},
        {"display mode", displayItem(0)},
        {"simulation kind", find<QButtonGroup>("Rg1Items")->button(1)},
    };
    field("E6")->setText("100");
    double shift = 0;
    for (const auto& r : rows) {
        shift += 0.5;
        setFormula(("Z+" + std::to_string(shift)).c_str());
        press(r.control, Qt::Key_Return);
        EXPECT_DOUBLE_EQ(cell(36, 1), 3.996 + shift) << r.name;
        shift += 0.5;
        setFormula(("Z+" + std::to_string(shift)).c_str());
        press(r.control, Qt::Key_Enter);
        EXPECT_DOUBLE_EQ(cell(36, 1), 3.996 + shift) << r.name << " (keypad)";
    }
    EXPECT_FALSE(timer().isActive());
}

TEST_F(Window, ZeichnenDraws) {
    setFormula("Z");
    EXPECT_EQ(w->State().formula, "SIN(Z+Q)*Z/10"); // typing alone does not draw
    click("D1");
    EXPECT_EQ(w->State().formula, "Z");
    EXPECT_EQ(grid(), ExpectedGrid("Z", 1));
}

TEST_F(Window, DisplayModesRedrawWithTheLinesText) {
    const struct {
        const char* name;
        int item;
        int mode;
        const char* formula;
    } rows[] = {
        {"Imaginärteil", 1, 2, "Z*2"},
        {"Betrag", 2, 3, "Z"},
        {"Raumphasenplot", 3, 4, "Z-1"},
        {"Realteil", 0, 1, "SIN(Z)"},
    };
    for (const auto& r : rows) {
        setFormula(r.formula);
        chooseDisplay(r.item);
        EXPECT_EQ(w->State().displayMode, r.mode) << r.name;
        EXPECT_EQ(w->State().formula, r.formula) << r.name;
        EXPECT_EQ(grid(), ExpectedGrid(r.formula, r.mode)) << r.name;
    }
}

TEST_F(Window, IntervalFieldsAcceptFormulas) {
    field("E1")->setText("ABC");
    field("E2")->setText("");
    field("E3")->setText("-x");
    field("E4")->setText("2*pi");
    field("E5")->setText("1,5");
    field("E6")->setText("X");
    click("D1");
    // x pulled in by 0.1 % toward the middle of the interval.
    EXPECT_NEAR(plot().RangeXLow(), 3.141592653589793 * 0.001, 1e-15);
    EXPECT_DOUBLE_EQ(plot().RangeXHigh(), 3.141592653589793 * 1.999);
    EXPECT_EQ(plot().RangeYLow(), 0);
    EXPECT_EQ(plot().RangeYHigh(), 1.5);
    EXPECT_EQ(plot().RangeZLow(), -1);
    EXPECT_EQ(plot().RangeZHigh(), 1);
    EXPECT_DOUBLE_EQ(w->FieldValue(field("E4")), 6.283185307179586);
    EXPECT_EQ(w->FieldValue(field("E1")), 0);
    EXPECT_EQ(w->FieldValue(field("E2")), 0);
    // The grid follows the new ranges: row 36 lies on the upper y field.
    setFormula("Z");
    chooseDisplay(1);
    EXPECT_DOUBLE_EQ(cell(1, 36), 1); // y = 1.5 clamped to the z range
    EXPECT_DOUBLE_EQ(cell(1, 1), 1.5 / 36);
}

TEST_F(Window, StraightYAndPulledInX) {
    field("E1")->setText("-2");
    field("E2")->setText("-3");
    field("E4")->setText("5");
    field("E5")->setText("6");
    click("D1");
    EXPECT_DOUBLE_EQ(plot().RangeXLow(), 1.5 - 3.5 * 0.999); // toward the middle, 1.5
    EXPECT_DOUBLE_EQ(plot().RangeXHigh(), 1.5 + 3.5 * 0.999);
    EXPECT_EQ(plot().RangeYLow(), -3);
    EXPECT_EQ(plot().RangeYHigh(), 6);
}

// The two ends of an axis are applied as a pair: 4..8 is 4..8 (pulled in),
// not 3..8 from a lower end compared with the old upper one; equal ends are
// widened by 1; reversed ends are taken the other way round, and say so.
TEST_F(Window, BoundsAsAPairAndReversedBounds) {
    field("E1")->setText("4");
    field("E4")->setText("8");
    click("D1");
    EXPECT_DOUBLE_EQ(plot().RangeXLow(), 6 - 2 * 0.999);
    EXPECT_DOUBLE_EQ(plot().RangeXHigh(), 6 + 2 * 0.999);
    field("E3")->setText("2");
    field("E6")->setText("2");
    field("E2")->setText("4");
    field("E5")->setText("-4");
    click("D1");
    EXPECT_EQ(plot().RangeZLow(), 2);
    EXPECT_EQ(plot().RangeZHigh(), 3);
    EXPECT_EQ(plot().RangeYLow(), -4);
    EXPECT_EQ(plot().RangeYHigh(), 4);
    for (const char* name : {"E2", "E5"})
        EXPECT_TRUE(field(name)->toolTip().contains("untere und obere Grenze vertauscht")) << name;
    EXPECT_TRUE(field("E1")->toolTip().isEmpty());
    setFormula("Z");
    click("D1");
    EXPECT_DOUBLE_EQ(w->LastFill().At(1, 36).y, 4); // rows run from -4 up to 4
}

TEST_F(Window, SamplingPositions) {
    setFormula("Z");
    click("D1");
    EXPECT_NEAR(cell(1, 1), -3.774, 1e-12);
    EXPECT_DOUBLE_EQ(cell(36, 36), 3.996);
    chooseDisplay(1);
    EXPECT_NEAR(cell(1, 1), -3.7777777777777777, 1e-12);
    EXPECT_EQ(cell(36, 36), 4);
    for (int p = 1; p <= 36; ++p) EXPECT_EQ(cell(p, 18), 0.0) << p;
}

TEST_F(Window, ValuesClampedToTheZRange) {
    field("E3")->setText("-1");
    field("E6")->setText("2");
    setFormula("Z*Z*Z");
    click("D1");
    EXPECT_EQ(cell(1, 18), -1);
    EXPECT_EQ(cell(36, 18), 2);
    EXPECT_NEAR(cell(20, 18), std::pow(-3.996 + 7.992 * 20 / 36, 3), 1e-12);
}

TEST_F(Window, FormulaLineUpperCasesWhatIsTyped) {
    field("E7")->clear();
    QTest::keyClicks(field("E7"), "sin(z)+");
    QTest::sendKeyEvent(QTest::Click, field("E7"), Qt::Key_Eacute, QString::fromUtf8("é"),
                        Qt::NoModifier);
    EXPECT_EQ(field("E7")->text(), QString::fromUtf8("SIN(Z)+É"));
    EXPECT_EQ(find<FormulaLine>("E7")->FormulaBytes(), "SIN(Z)+\xC9");
}

// ---------------------------------------------------------------------------
// Errors

TEST_F(Window, ErrorReportLeavesTheProgramRunning) {
    // Stored y bounds this wide make the fill overflow a double; the
    // remaining steps of the handler (repaint) are skipped.
    plot().SetRangeYLow(1e308);
    plot().SetRangeYHigh(-1e308);
    spin("Rx5")->SetValue(0.5); // the Q field changed: a fill
    ASSERT_EQ(g_reports.size(), 1);
    EXPECT_EQ(g_reports[0],
              QString::fromUtf8("Gleitkommaüberlauf bei der Formel »SIN(Z+Q)*Z/10«."));
    EXPECT_EQ(ParamQ, 0.5);
    EXPECT_EQ(spin("Rx5")->text(), "0.50");
    // The program goes on: "Grundeinstellung" applies the fields again and
    // the next draw request works.
    action("M6")->trigger();
    setFormula("Z");
    click("D1");
    EXPECT_EQ(g_reports.size(), 1);
    EXPECT_EQ(grid(), ExpectedGrid("Z", 1, 0.5));
    EXPECT_TRUE(w->IsReady());
}

// A fault that repeats with the same formula, as in a Q sweep, is reported
// once and then counted on the formula line; a draw request reports it again.
TEST_F(Window, ARepeatedFaultIsReportedOnce) {
    setFormula("Z^(Q*1000)");
    click("D1");
    ASSERT_TRUE(g_reports.isEmpty());
    chooseSimulation(2);
    spin("Rx5")->SetValue(2); // the Q field's fill fails
    ASSERT_EQ(g_reports.size(), 1);
    for (int k = 0; k < 3; ++k) errorreport::Guarded([this] { w->SimulationTick(); });
    EXPECT_EQ(g_reports.size(), 1);
    EXPECT_EQ(spin("Rx5")->text(), "1.70");
    EXPECT_TRUE(field("E7")->toolTip().contains("4-mal in Folge"))
        << field("E7")->toolTip().toStdString();
    click("D1");
    EXPECT_EQ(g_reports.size(), 2);
    setFormula("Z");
    click("D1");
    EXPECT_TRUE(field("E7")->toolTip().isEmpty());
}

TEST_F(Window, TheReportBoxWhileTheSimulationRuns) {
    errorreport::SetPresenter({}); // the real box; it does not block
    chooseSimulation(2);
    setFormula("Z^1000");
    press(field("E7"), Qt::Key_F2);
    find<QPushButton>("D1")->click(); // the draw request fails first, then every tick
    auto boxes = [] {
        QList<QMessageBox*> found;
        for (QWidget* top : QApplication::topLevelWidgets())
            if (auto* box = qobject_cast<QMessageBox*>(top); box && box->isVisible()) found << box;
        return found;
    };
    // One box is shown and the timer keeps running.
    ASSERT_EQ(boxes().size(), 1);
    QMessageBox* box = boxes().front();
    EXPECT_EQ(box->windowTitle(), "Tessarel");
    EXPECT_EQ(box->icon(), QMessageBox::Critical);
    EXPECT_EQ(box->text(), QString::fromUtf8("Gleitkommaüberlauf bei der Formel »Z^1000«."));
    // The box has the focus: F2 stops the simulation, Esc closes the box only.
    EXPECT_TRUE(QTest::qWaitForWindowActive(box));
    const QString before = spin("Rx5")->text();
    EXPECT_TRUE(QTest::qWaitFor([&] { return spin("Rx5")->text() != before; }, 5000));
    EXPECT_TRUE(timer().isActive());
    EXPECT_EQ(boxes().size(), 1);
    QTest::keyClick(box, Qt::Key_F2);
    EXPECT_FALSE(timer().isActive());
    QTest::keyClick(box, Qt::Key_Escape);
    const auto closed = [&] { return boxes().isEmpty() && !errorreport::ReportOpen(); };
    EXPECT_TRUE(QTest::qWaitFor(closed, 5000));
    EXPECT_TRUE(QTest::qWaitForWindowActive(w.get())); // the window has the focus back
    // The next error is shown again; Enter closes it without a new draw
    // request (which would fail and show another box).
    find<QPushButton>("D1")->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return boxes().size() == 1; }, 5000));
    // Enter reaches the box's button once the box has given it the focus.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            QWidget* focus = QApplication::focusWidget();
            return focus && boxes().size() == 1 && boxes().front()->isAncestorOf(focus);
        },
        5000));
    QTest::keyClick(boxes().front(), Qt::Key_Return);
    EXPECT_TRUE(QTest::qWaitFor(closed, 5000));
    EXPECT_TRUE(w->isVisible());
    for (QMessageBox* b : boxes()) b->close();
    QTest::qWait(20);
}

TEST(ErrorReport, MessageText) {
    const struct {
        const char* name;
        const char* message;
        const char* shown;
    } rows[] = {
        {"letter gets a full stop", "Gleitkommaüberlauf", "Gleitkommaüberlauf."},
        {"full stop kept single", "Division durch Null.", "Division durch Null."},
        {"sorts before the full stop", "Fehler!", "Fehler!"},
        {"closing bracket sorts before it", "Fehler (1)", "Fehler (1)"},
        {"digit sorts after it", "Fehler 1", "Fehler 1."},
        {"empty message", "", ""},
    };
    for (const auto& r : rows)
        EXPECT_EQ(errorreport::ReportText(QString::fromUtf8(r.message)), QString::fromUtf8(r.shown))
            << r.name;
}

TEST(ErrorReport, NestedHandlersReportOnceAtTheOutermost) {
    QStringList shown;
    errorreport::SetPresenter([&](const QString& text) { shown << text; });
    int stepsAfterInner = 0;
    int stepsAfterOuter = 0;
    errorreport::Guarded([&] {
        errorreport::Guarded([&] { throw std::runtime_error("innen"); });
        ++stepsAfterInner;
    });
    ++stepsAfterOuter;
    errorreport::SetPresenter({});
    EXPECT_EQ(shown, QStringList({"innen."}));
    EXPECT_EQ(stepsAfterInner, 0);
    EXPECT_EQ(stepsAfterOuter, 1);
    EXPECT_FALSE(errorreport::InsideHandler());
}

TEST(ErrorReport, FurtherErrorsWhileABoxIsOpenAreDropped) {
    QStringList shown;
    bool innerShown = true;
    errorreport::SetPresenter([&](const QString& text) {
        shown << text;
        // An error raised by a handler running while the box is open.
        errorreport::Guarded([] { throw std::runtime_error("zweiter"); });
        innerShown = shown.size() > 1;
    });
    errorreport::Guarded([] { throw std::runtime_error("erster"); });
    errorreport::SetPresenter({});
    EXPECT_EQ(shown, QStringList({"erster."}));
    EXPECT_FALSE(innerShown);
    // Once closed, the next error is shown again.
    errorreport::SetPresenter([&](const QString& text) { shown << text; });
    errorreport::Guarded([] { throw std::runtime_error("dritter"); });
    errorreport::SetPresenter({});
    EXPECT_EQ(shown.size(), 2);
}

// ---------------------------------------------------------------------------
// Zoom and the mouse wheel

TEST_F(Window, WheelSteps) {
    wheel(-120);
    EXPECT_EQ(fieldTexts(), QStringList({"-3.92", "-3.92", "-3.92", "3.92", "3.92", "3.92"}));
    EXPECT_DOUBLE_EQ(plot().RangeXLow(), -3.92 * 0.999);
    EXPECT_EQ(plot().RangeZHigh(), 3.92);
    EXPECT_FALSE(plot().HoldPaint());
    EXPECT_TRUE(w->IsReady());
    action("M6")->trigger();
    wheel(120);
    EXPECT_EQ(fieldTexts(), QStringList({"-4.08", "-4.08", "-4.08", "4.08", "4.08", "4.08"}));
    EXPECT_EQ(plot().RangeYHigh(), 4.08);
    // Below a quarter two decimals would not move the fields any more.
    field("E1")->setText("-0.25");
    field("E4")->setText("0.25");
    wheel(-120);
    wheel(-120);
    EXPECT_EQ(field("E1")->text(), "-0.24");
    EXPECT_EQ(field("E4")->text(), "0.24");
    wheel(-120);
    EXPECT_EQ(field("E4")->text(), "0.235");
    EXPECT_DOUBLE_EQ(plot().RangeXHigh(), 0.235 * 0.999);
}

TEST_F(Window, WheelReadsPlainNumbersOnly) {
    field("E4")->setText("2*pi");
    field("E5")->setText("abc");
    wheel(-120);
    EXPECT_EQ(field("E4")->text(), "1.96");
    EXPECT_EQ(field("E5")->text(), "0");
}

TEST_F(Window, WheelIgnoredWhileNotReady) {
    w->SetReady(false);
    wheel(-120);
    EXPECT_EQ(fieldTexts(), QStringList({"-4", "-4", "-4", "4", "4", "4"}));
    w->SetReady(true);
}

TEST_F(Window, FailedWheelStepDoesNotFreezeThePlot) {
    setFormula("Z^407"); // finite on the default grid, beyond a double 2 % further out
    click("D1");
    ASSERT_TRUE(g_reports.isEmpty());
    wheel(120);
    EXPECT_EQ(g_reports.size(), 1);
    EXPECT_EQ(field("E1")->text(), "-4.08");
    EXPECT_FALSE(plot().HoldPaint());
    EXPECT_TRUE(w->IsReady());
    wheel(-120); // the wheel still works
    EXPECT_EQ(field("E1")->text(), "-4");
    EXPECT_EQ(g_reports.size(), 1);
}

// After a fault no point of the previous formula stays in the picture: the
// faulted points are left out and the read-out names the fault there.
TEST_F(Window, NoMixedPicture) {
    setFormula("2*Z");
    click("D1");
    setFormula("Z^1000"); // overflows where |Z| > 2.03
    click("D1");
    ASSERT_EQ(g_reports.size(), 1);
    const sampling::FillRecord& record = w->LastFill();
    EXPECT_GT(record.report.faults, 0);
    for (int p = 1; p <= 36; ++p)
        for (int i = 1; i <= 36; ++i) {
            const sampling::SamplePoint& s = record.At(p, i);
            if (s.fault != sampling::PointFault::None)
                EXPECT_TRUE(std::isnan(cell(p, i))) << p << ", " << i;
            else
                EXPECT_EQ(cell(p, i), s.drawn) << p << ", " << i;
        }
    ASSERT_NE(record.At(1, 1).fault, sampling::PointFault::None);
    double x = 0, y = 0, z = 0;
    plot().GridToModel(1, 1, 0, x, y, z);
    const TPoint corner = plot().Project(x, y, z);
    EXPECT_TRUE(w->ReadOut(corner.x, corner.y).contains(QString::fromUtf8("Gleitkommaüberlauf")))
        << w->ReadOut(corner.x, corner.y).toStdString();
}

TEST_F(Window, FormulaErrorSkipsTheRestOfTheDrawRequest) {
    field("E1")->setText("-2");
    setFormula("Z^1000");
    click("D1");
    ASSERT_EQ(g_reports.size(), 1);
    EXPECT_EQ(g_reports[0], QString::fromUtf8("Gleitkommaüberlauf bei der Formel »Z^1000«."));
    EXPECT_EQ(w->State().formula, "Z^1000");
    EXPECT_DOUBLE_EQ(plot().RangeXLow(), 1 - 3 * 0.999); // applied before the fill
    setFormula("Z");
    press(field("E7"), Qt::Key_Return);
    EXPECT_EQ(g_reports.size(), 1);
    EXPECT_EQ(grid(), ExpectedGrid("Z", 1, 0, {"-2", "-4", "-4", "4", "4", "4"}));
}

TEST_F(Window, NarrowedFieldsDrawWhatTheWiderOnesCouldNot) {
    // Z^1000 overflows over x and y -4..4 but not over -1..1.
    setFormula("Z^1000");
    click("D1");
    ASSERT_EQ(g_reports.size(), 1);
    for (QLineEdit* e : {field("E1"), field("E2")}) e->setText("-1");
    for (QLineEdit* e : {field("E4"), field("E5")}) e->setText("1");
    press(field("E7"), Qt::Key_Return);
    EXPECT_EQ(g_reports.size(), 1);
    EXPECT_EQ(grid(), ExpectedGrid("Z^1000", 1, 0, {"-1", "-1", "-4", "1", "1", "4"}));
    chooseDisplay(2);
    action("M8")->trigger();
    click("D1");
    EXPECT_EQ(g_reports.size(), 1);
}

TEST_F(Window, ZoomCommands) {
    action("M7")->trigger();
    EXPECT_EQ(fieldTexts(), QStringList({"-4.4", "-4.4", "-4.4", "4.4", "4.4", "4.4"}));
    EXPECT_DOUBLE_EQ(plot().RangeXHigh(), 4.4 * 0.999);
    action("M6")->trigger();
    action("M8")->trigger();
    EXPECT_EQ(fieldTexts(), QStringList({"-3.64", "-3.64", "-3.64", "3.64", "3.64", "3.64"}));
    EXPECT_EQ(plot().RangeZLow(), -3.64);
}

TEST_F(Window, GrundeinstellungAfterZooming) {
    setFormula("Z");
    action("M7")->trigger();
    wheel(-120);
    action("M6")->trigger();
    EXPECT_EQ(fieldTexts(), QStringList({"-4", "-4", "-4", "4", "4", "4"}));
    EXPECT_DOUBLE_EQ(plot().RangeXLow(), -3.996);
    EXPECT_EQ(plot().RangeYHigh(), 4);
    EXPECT_EQ(grid(), ExpectedGrid("Z", 1));
}

// ---------------------------------------------------------------------------
// View controls

TEST_F(Window, AngleAndSizeFields) {
    spin("Rx1")->SetValue(30);
    EXPECT_EQ(plot().ViewAngleX(), 30);
    spin("Rx2")->SetValue(200.4);
    EXPECT_EQ(spin("Rx2")->text(), "200");
    EXPECT_EQ(plot().ViewAngleZ(), 200);
    spin("Rx3")->SetValue(1.5);
    EXPECT_EQ(plot().Magnification(), 1.5);
    spin("Rx1")->SetValue(361);
    EXPECT_EQ(spin("Rx1")->text(), "360");
    EXPECT_EQ(plot().ViewAngleX(), 360);
    spin("Rx3")->setFocus();
    QTest::keyClick(spin("Rx3"), Qt::Key_Up);
    EXPECT_EQ(spin("Rx3")->text(), "1.52");
    EXPECT_EQ(plot().Magnification(), 1.52);
}

TEST_F(Window, GradationField) {
    spin("Rx4")->SetValue(9.9);
    EXPECT_DOUBLE_EQ(plot().ColorScaleHigh(), 9.9);
    EXPECT_DOUBLE_EQ(plot().ColorScaleLow(), 9.9 - 15);
    spin("Rx4")->SetValue(2.5);
    EXPECT_DOUBLE_EQ(plot().ColorScaleHigh(), 2.5);
    EXPECT_DOUBLE_EQ(plot().ColorScaleLow(), -12.5);
    spin("Rx4")->SetValue(0);
    EXPECT_EQ(plot().ColorScaleHigh(), 0);
    EXPECT_EQ(plot().ColorScaleLow(), -15);
}

TEST_F(Window, CheckBoxes) {
    click("CB3");
    EXPECT_FALSE(plot().MeshVisible());
    click("CB4");
    EXPECT_TRUE(plot().VisibleXCoords());
    EXPECT_TRUE(plot().VisibleYCoords());
    EXPECT_TRUE(plot().VisibleZCoords());
    plot().SetColorCubeFrame(clRed);
    click("CB1");
    EXPECT_EQ(plot().BoundBoxStyle(), bbFaces);
    EXPECT_EQ(plot().ColorCubeFrame(), TColor(0x404040));
    EXPECT_FALSE(plot().HoldPaint());
    click("CB1");
    EXPECT_EQ(plot().BoundBoxStyle(), bbNone);
    // A click into the formula line applies the box check box again.
    plot().SetBoundBoxStyle(bbFrame);
    click("E7");
    EXPECT_EQ(plot().BoundBoxStyle(), bbNone);
}

TEST_F(Window, ColourMenu) {
    action("M9")->trigger();
    EXPECT_EQ(colorDialogs, 1);
    EXPECT_EQ(dialogInitial, clYellow);      // opens at the current colour
    EXPECT_EQ(plot().ColorHigh(), clYellow); // cancelled
    EXPECT_EQ(plot().ColorLow(), clFuchsia);
    colorToChoose = RGB(10, 20, 30);
    action("M9")->trigger();
    EXPECT_EQ(plot().ColorHigh(), RGB(10, 20, 30));
    EXPECT_EQ(plot().ColorLow(), clFuchsia);
    colorToChoose = clGreen;
    action("M12")->trigger();
    EXPECT_EQ(plot().ColorLow(), clGreen);
    EXPECT_EQ(plot().ColorHigh(), RGB(10, 20, 30));
}

TEST_F(Window, QFieldFillsWithTheNewQ) {
    setFormula("Q");
    click("D1");
    spin("Rx5")->SetValue(1.234);
    EXPECT_EQ(ParamQ, 1.23);
    EXPECT_EQ(ComplexParamQ.re, static_cast<long double>(1.23));
    EXPECT_EQ(ComplexParamQ.im, 0.0L);
    EXPECT_EQ(cell(5, 5), 1.23);
}

TEST_F(Window, MouseActionCopiesTheAnglesIntoTheFields) {
    int cx = 411, cy = 326;
    double rx = 93.57, rz = 71.26, mag = 1.33;
    plot().OnMouseAction(plot(), cx, cy, rx, rz, mag, TShiftState{});
    EXPECT_EQ(spin("Rx1")->text(), "94");
    EXPECT_EQ(spin("Rx2")->text(), "71");
    EXPECT_EQ(plot().ViewAngleX(), 94);
    EXPECT_EQ(plot().ViewAngleZ(), 71);
    EXPECT_EQ(rx, 93.57); // the other arguments stay as they are
    EXPECT_EQ(cx, 411);
}

TEST_F(Window, AngleFieldsFollowADrag) {
    TShiftState none;
    TShiftState left;
    left.left = true;
    plot().MouseMove(none, 300, 350);
    plot().MouseMove(left, 400, 300);
    // 100 pixels right and 50 up: 115 - 36000/823 = 71.26, 66 + 18000/653 = 93.57.
    EXPECT_EQ(spin("Rx2")->text(), "71");
    EXPECT_EQ(spin("Rx1")->text(), "94");
    EXPECT_EQ(plot().ViewAngleZ(), 71);
    EXPECT_EQ(plot().ViewAngleX(), 94);
    // Through the widget, as the mouse delivers it.
    QWidget* const surface = find("P3D1");
    QTest::mouseMove(surface, QPoint(300, 350));
    QMouseEvent drag(QEvent::MouseMove, QPointF(400, 350), surface->mapToGlobal(QPointF(400, 350)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(surface, &drag);
    EXPECT_EQ(spin("Rx2")->text(), QString::number(std::lround(71 - 36000.0 / 823)));
}

// ---------------------------------------------------------------------------
// Simulation

TEST_F(Window, RotationWraps) {
    const struct {
        const char* name;
        int kind;
        SpinField* field;
    } rows[] = {{"x rotation", 0, spin("Rx1")}, {"z rotation", 1, spin("Rx2")}};
    for (const auto& r : rows) {
        chooseSimulation(r.kind);
        r.field->SetValue(358);
        QStringList seen;
        for (int k = 0; k < 4; ++k) {
            w->SimulationTick();
            seen << r.field->text();
        }
        EXPECT_EQ(seen, QStringList({"359", "0", "1", "2"})) << r.name;
        r.field->SetValue(360);
        w->SimulationTick();
        EXPECT_EQ(r.field->text(), "0") << r.name << " from 360";
    }
    EXPECT_EQ(plot().ViewAngleX(), 0);
    EXPECT_EQ(plot().ViewAngleZ(), 0);
}

TEST_F(Window, QSweepReversesAtTheBound) {
    chooseSimulation(2);
    setFormula("Q");
    click("D1");
    spin("Rx5")->SetValue(-9.95);
    QStringList seen;
    for (int k = 0; k < 2; ++k) {
        w->SimulationTick();
        seen << spin("Rx5")->text();
    }
    EXPECT_EQ(seen, QStringList({"-10.00", "-9.90"}));
    EXPECT_TRUE(w->State().sweepUp);
    EXPECT_EQ(ParamQ, -9.9);
    EXPECT_EQ(cell(1, 1), -4); // Q clamped to the z range
    // A step landing on the bound shows it for two ticks.
    w->SetSweepUp(false);
    spin("Rx5")->SetValue(-9.8);
    seen.clear();
    for (int k = 0; k < 4; ++k) {
        w->SimulationTick();
        seen << spin("Rx5")->text();
    }
    EXPECT_EQ(seen, QStringList({"-9.90", "-10.00", "-10.00", "-9.90"}));
    // The upper bound, with a smaller step.
    spin("Rx6")->SetValue(3);
    spin("Rx5")->SetValue(9.98);
    w->SetSweepUp(true);
    w->SimulationTick();
    EXPECT_EQ(spin("Rx5")->text(), "10.00");
    EXPECT_FALSE(w->State().sweepUp);
    field("E6")->setText("20");
    click("D1");
    w->SimulationTick();
    EXPECT_EQ(spin("Rx5")->text(), "9.97");
    EXPECT_DOUBLE_EQ(cell(2, 2), 9.97);
}

// Typed Q beyond -10..10 draws at once with the value the field will show.
TEST_F(Window, QFieldDrawsWithTheValueItWillShow) {
    spin("Rx5")->setFocus();
    spin("Rx5")->clear();
    QTest::keyClicks(spin("Rx5"), "25");
    QTest::keyClick(spin("Rx5"), Qt::Key_Return);
    EXPECT_EQ(ParamQ, 10);
    QTest::keyClick(spin("Rx5"), Qt::Key_Tab);
    EXPECT_EQ(spin("Rx5")->text(), "10.00");
    EXPECT_EQ(ParamQ, 10);
    EXPECT_TRUE(spin("Rx5")->toolTip().contains(QString::fromUtf8("−10 bis 10")));
}

TEST_F(Window, SimulationButtonAndF2) {
    click("D2");
    EXPECT_TRUE(timer().isActive());
    EXPECT_EQ(find<QPushButton>("D2")->text(), "Stopp");
    EXPECT_EQ(Shown(action("sim1")), "Simulation");
    press(field("E1"), Qt::Key_F2);
    EXPECT_FALSE(timer().isActive());
    EXPECT_EQ(find<QPushButton>("D2")->text(), "Simulation");
    press(spin("Rx1"), Qt::Key_F2);
    EXPECT_TRUE(timer().isActive());
    action("sim1")->trigger();
    EXPECT_FALSE(timer().isActive());
}

TEST_F(Window, TimerTurnsTheSurface) {
    chooseSimulation(1);
    QElapsedTimer clock;
    clock.start();
    click("D2");
    EXPECT_TRUE(QTest::qWaitFor([&] { return spin("Rx2")->Value() >= 118; }, 5000));
    click("D2");
    const qint64 elapsed = clock.elapsed();
    const int turned = static_cast<int>(spin("Rx2")->Value()) - 115;
    EXPECT_GE(turned, 3);
    EXPECT_LE(turned, elapsed / 15 + 1); // ticks do not pile up beyond one per 15 ms
    EXPECT_EQ(plot().ViewAngleZ(), spin("Rx2")->Value());
}

TEST_F(Window, SweepDirectionKeptAcrossStopAndRestart) {
    chooseSimulation(2);
    spin("Rx5")->SetValue(-9.95);
    w->SimulationTick();
    ASSERT_TRUE(w->State().sweepUp);
    click("D2");
    click("D2");
    chooseSimulation(0);
    click("D2");
    click("D2");
    chooseSimulation(2);
    EXPECT_TRUE(w->State().sweepUp);
    w->SimulationTick();
    EXPECT_EQ(spin("Rx5")->text(), "-9.90");
}

TEST_F(Window, EscapeEndsTheProgram) {
    press(spin("Rx5"), Qt::Key_Escape);
    EXPECT_FALSE(w->isVisible());
}

// A formula as long as the line takes, of the most expensive function: its
// fill takes minutes. The window answers while it runs, and whatever cancels
// it leaves the picture and the record as they were.
TEST_F(Window, AnExpensiveFillLeavesTheWindowAnswering) {
    std::string riemann = "RIEMANN(Z)";
    while (riemann.size() + 11 <= 32767) riemann += "+RIEMANN(Z)";
    const std::vector<double> before = grid();
    chooseSimulation(2);
    setFormula(riemann.c_str());
    QElapsedTimer clock;
    clock.start();
    click("D1");
    // The handler waits 80 ms, not for the fill, which takes minutes. The
    // promptness itself is measured by the soak; here only "not the fill".
    EXPECT_LT(clock.elapsed(), 5000);
    ASSERT_TRUE(w->FillRunning());
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return find<QProgressBar>("FillProgress")->isVisible(); }, 10000));
    ASSERT_TRUE(w->FillRunning());
    EXPECT_EQ(find("P3D1")->cursor().shape(), Qt::BusyCursor);
    // A sweep tick does not queue behind the fill.
    const QString q = spin("Rx5")->text();
    w->SimulationTick();
    EXPECT_EQ(spin("Rx5")->text(), q);
    // F2 answers at once and cancels the fill; the rotation does not fill.
    chooseSimulation(0);
    clock.restart();
    press(field("E7"), Qt::Key_F2);
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_TRUE(timer().isActive());
    EXPECT_FALSE(w->FillRunning());
    EXPECT_FALSE(find<QProgressBar>("FillProgress")->isVisible());
    EXPECT_EQ(find("P3D1")->cursor().shape(), Qt::PointingHandCursor);
    click("D2");
    QTest::qWait(200);
    EXPECT_EQ(grid(), before);
    EXPECT_EQ(w->LastFill().report.firstStatus, 0);
    // A new draw request cancels it too, and no late result overwrites the new one.
    click("D1");
    ASSERT_TRUE(w->FillRunning());
    setFormula("Z");
    click("D1");
    // The cancelled fill stops after its current point, which on a loaded
    // machine can take longer than the 80 ms the request waits.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w->FillRunning(); }, 10000));
    QTest::qWait(200);
    EXPECT_EQ(grid(), ExpectedGrid("Z", 1));
    // Esc ends the program without waiting for the fill.
    setFormula(riemann.c_str());
    click("D1");
    clock.restart();
    press(field("E7"), Qt::Key_Escape);
    w.reset();
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_TRUE(g_reports.isEmpty());
}

// New intervals take effect with the fill computed for them: a cancelled
// fill leaves the ranges and the picture as they were.
TEST_F(Window, CancelKeepsThePicture) {
    const QImage before = find<PlotWidget>("P3D1")->Image();
    field("E3")->setText("-1");
    field("E6")->setText("1");
    std::string riemann = "RIEMANN(Z)";
    while (riemann.size() < 7000) riemann += "+RIEMANN(Z)";
    setFormula(riemann.c_str());
    click("D1");
    ASSERT_TRUE(w->FillRunning());
    EXPECT_EQ(plot().RangeZLow(), -4);
    press(field("E7"), Qt::Key_F2);
    EXPECT_EQ(plot().RangeZLow(), -4);
    EXPECT_EQ(plot().RangeZHigh(), 4);
    plot().Paint();
    EXPECT_EQ(find<PlotWidget>("P3D1")->Image(), before);
}

// Closing the window by any means (the title bar, the window manager, a
// logout) ends a running fill as Esc does; the window is gone at once.
TEST_F(Window, ClosingDuringAFillEndsAtOnce) {
    std::string riemann = "RIEMANN(Z)";
    while (riemann.size() + 11 <= 32767) riemann += "+RIEMANN(Z)";
    setFormula(riemann.c_str());
    click("D1");
    ASSERT_TRUE(w->FillRunning());
    QTest::qWait(50);
    QElapsedTimer clock;
    clock.start();
    EXPECT_TRUE(w->close());
    EXPECT_FALSE(w->FillRunning());
    w.reset();
    EXPECT_LT(clock.elapsed(), 500);
}

// ---------------------------------------------------------------------------
// Notes on the formula line and the interval fields

TEST_F(Window, NotesAfterEachFill) {
    const struct {
        const char* name;
        std::string formula;
        const char* e1;          // the lower x field
        const char* formulaNote; // a part of the formula line's tooltip; "" for none
        const char* fieldNote;   // a part of E1's tooltip; "" for none
    } rows[] = {
        {"unclosed bracket", "SIN(Z", "-4", "Klammer »(« an Stelle 4 nicht geschlossen", ""},
        {"clean formula clears the note", "SIN(Z)", "-4", "", ""},
        {"unknown function", "2*Z+FOO(Z)", "-4",
         "Syntaxfehler an Stelle 5: unbekannte Funktion »FOO«", ""},
        {"missing product sign", "2Z", "-4",
         "Syntaxfehler an Stelle 2: unerwartetes Zeichen »Z« (fehlt ein »*«?)", ""},
        {"operator at the end", "Z+", "-4",
         "Syntaxfehler an Stelle 2: unerwartetes Zeichen »+« am Ende", ""},
        {"surplus closing bracket", "Z)*2", "-4", "Ab Stelle 3 nicht gelesen: »*2«", ""},
        {"division by zero everywhere", "1/(Z-Z)", "-4",
         "Definitionsbereich verlassen an allen 1\u00A0296 Punkten", ""},
        {"too large at some points", "Z^50", "-4", "Wert zu groß an ", ""},
        {"nested too deep", std::string(600, '(') + "Z", "-4",
         "Syntaxfehler an Stelle 501: Klammern und Funktionen tiefer", ""},
        {"field that does not evaluate", "Z", "abc", "",
         "Formel nicht auswertbar: Syntax- oder Bereichsfehler, gilt als 0"},
        {"field clean again", "Z", "-4", "", ""},
    };
    for (const auto& r : rows) {
        field("E1")->setText(QString::fromUtf8(r.e1));
        setFormula(r.formula.c_str());
        press(field("E7"), Qt::Key_Return);
        const QString formulaTip = field("E7")->toolTip();
        const QString fieldTip = field("E1")->toolTip();
        EXPECT_EQ(formulaTip.isEmpty(), !*r.formulaNote)
            << r.name << ": " << formulaTip.toStdString();
        EXPECT_TRUE(formulaTip.contains(QString::fromUtf8(r.formulaNote)))
            << r.name << ": " << formulaTip.toStdString();
        EXPECT_EQ(fieldTip, QString::fromUtf8(r.fieldNote)) << r.name;
        // The marker: a sign at the end of the formula line, and a tint.
        const bool marked = field("E7")->findChild<QAction*>("marker") != nullptr;
        EXPECT_EQ(marked, *r.formulaNote != 0) << r.name;
        EXPECT_EQ(field("E1")->palette().color(QPalette::Base) != Qt::white, *r.fieldNote != 0)
            << r.name;
    }
    EXPECT_TRUE(g_reports.isEmpty());
}

TEST_F(Window, NoteWhenTheFillFails) {
    setFormula("Z^1000");
    click("D1");
    EXPECT_TRUE(
        field("E7")->toolTip().startsWith(QString::fromUtf8("Rechenfehler: Gleitkommaüberlauf")));
}

// ---------------------------------------------------------------------------
// Read-out under the pointer

TEST_F(Window, ReadOutNamesThePointUnderThePointer) {
    // A point inside cell (p, i), a third of the way from its corner (p, i)
    // to its centre, on a cell that no nearer one covers there.
    int p = 0, i = 0, x = 0, y = 0;
    for (int k = 5; k < 30 && p == 0; ++k) {
        const auto at = [&](const TIntMatrix& m) {
            const int corner = m.Cell(k, k);
            const double centre =
                (m.Cell(k, k) + m.Cell(k + 1, k) + m.Cell(k, k + 1) + m.Cell(k + 1, k + 1)) / 4.0;
            return static_cast<int>(std::lround(corner + (centre - corner) / 3));
        };
        x = at(plot().ScreenXGrid());
        y = at(plot().ScreenYGrid());
        int cx = 0, cy = 0;
        if (plot().HitTest(x, y, cx, cy) && cx == k && cy == k) p = i = k;
    }
    ASSERT_NE(p, 0);
    const QString text = w->ReadOut(x, y);
    const sampling::SamplePoint& s = w->LastFill().At(p, i);
    EXPECT_EQ(s.x, sampling::SamplePosition(plot().RangeXLow(), plot().RangeXHigh(), p));
    EXPECT_EQ(s.y, sampling::SamplePosition(plot().RangeYLow(), plot().RangeYHigh(), i));
    const Complex f = EvalComplex("SIN(Z+Q)*Z/10", Complex{s.x, s.y});
    EXPECT_EQ(s.f.re, f.re);
    EXPECT_EQ(s.f.im, f.im);
    EXPECT_EQ(s.drawn, cell(p, i));
    const QStringList lines = text.split('\n');
    ASSERT_EQ(lines.size(), 6) << text.toStdString();
    EXPECT_EQ(lines[0], QStringLiteral("Punkt (p, i) = (%1, %1)").arg(p));
    EXPECT_EQ(lines[5], "gezeichnet: " + QString::number(cell(p, i), 'g', 8));
    EXPECT_TRUE(lines[2].startsWith("F(Z) = " + QString::number(double(f.re), 'g', 8)));
    EXPECT_EQ(w->ReadOut(2, 2), ""); // beside the surface

    // Shown as the plot's tooltip, but not while a button is held.
    auto* plotWidget = find<PlotWidget>("P3D1");
    QHelpEvent help(QEvent::ToolTip, QPoint(x, y), plotWidget->mapToGlobal(QPoint(x, y)));
    QApplication::sendEvent(plotWidget, &help);
    EXPECT_EQ(QToolTip::text(), text);
    QTest::mousePress(plotWidget, Qt::LeftButton, {}, QPoint(x, y));
    QApplication::sendEvent(plotWidget, &help);
    EXPECT_FALSE(QToolTip::isVisible());
    QTest::mouseRelease(plotWidget, Qt::LeftButton, {}, QPoint(x, y));
}

// ---------------------------------------------------------------------------
// Exports

QByteArray CliOutput(const QStringList& arguments) {
    QProcess cli;
    cli.start(TESSAREL_CLI, arguments);
    if (!cli.waitForFinished(30000) || cli.exitCode() != 0) return {};
    return cli.readAllStandardOutput();
}

// How many elements the SVG holds of the given names; -1 when it does not parse.
int SvgElements(const QString& file, const QStringList& names) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) return -1;
    QXmlStreamReader xml(&f);
    int count = 0;
    while (!xml.atEnd())
        if (xml.readNext() == QXmlStreamReader::StartElement && names.contains(xml.name())) ++count;
    return xml.hasError() ? -1 : count;
}

TEST_F(Window, ExportsWriteWhatTheCommandLineWrites) {
    QTemporaryDir dir;
    QString chosen;
    QStringList problems;
    QString chosenFilter;
    w->ChooseSaveFile = [&](const QString&, const QString&, QString& filter) {
        filter = chosenFilter;
        return chosen;
    };
    w->ShowProblem = [&](const QString& text) { problems << text; };
    const QByteArray renderCommand = [&] {
        const QString png = dir.filePath("cli.png");
        CliOutput({"render", "-o", png, "sin(z+q)*z/10"});
        return png.toUtf8();
    }();
    const QImage rendered(QString::fromUtf8(renderCommand));
    ASSERT_FALSE(rendered.isNull());

    const struct {
        const char* name;
        const char* file;
        std::function<void()> trigger;
        std::function<void(const QString& file)> check;
    } rows[] = {
        {"PNG by Ctrl+S, equal to the render command's", "x.png",
         [&] { QTest::keyClick(w.get(), Qt::Key_S, Qt::ControlModifier); },
         [&](const QString& file) {
             EXPECT_EQ(QImage(file).convertToFormat(rendered.format()), rendered);
         }},
        {"SVG with a polygon per cell", "x.svg", [&] { action("M13")->trigger(); },
         [&](const QString& file) {
             EXPECT_GE(SvgElements(file, {"polygon", "path"}), 35 * 35);
             EXPECT_GT(SvgElements(file, {"text"}), -1);
         }},
        {"CSV equal to the grid command's", "x.csv", [&] { action("M15")->trigger(); },
         [&](const QString& file) {
             QFile f(file);
             ASSERT_TRUE(f.open(QIODevice::ReadOnly));
             const QByteArray csv = f.readAll();
             EXPECT_EQ(csv.count('\n'), 1 + 36 * 36);
             EXPECT_EQ(csv, CliOutput({"grid", "--format", "csv", "sin(z+q)*z/10"}));
         }},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        chosen = dir.filePath(r.file);
        r.trigger();
        ASSERT_TRUE(QFileInfo::exists(chosen));
        r.check(chosen);
    }
    EXPECT_TRUE(problems.isEmpty());

    // A name without an ending takes the chosen type's.
    chosen = dir.filePath("bild");
    chosenFilter = QStringLiteral("SVG-Grafik (*.svg)");
    action("M13")->trigger();
    EXPECT_GE(SvgElements(chosen + ".svg", {"polygon", "path"}), 35 * 35);
    EXPECT_FALSE(QFileInfo::exists(chosen + ".png"));

    // A folder that is not there: the reason is told, nothing is left behind.
    chosen = dir.filePath("missing/x.png");
    action("M13")->trigger();
    ASSERT_EQ(problems.size(), 1);
    EXPECT_TRUE(problems[0].contains(chosen)) << problems[0].toStdString();
    EXPECT_FALSE(QFileInfo::exists(chosen));
    EXPECT_TRUE(g_reports.isEmpty());
}

// "Befehlszeile kopieren" gives the render command of the picture shown: run
// as it stands, it writes the window's picture.
TEST_F(Window, CopiedCommandRendersThePictureShown) {
    setFormula("GAMMA(Z)*Q");
    action("ColoringMenu")->menu()->actions().at(1)->trigger(); // by phase
    action("Legend")->trigger();
    field("E1")->setText("-2*pi");
    field("E6")->setText("3,5");
    spin("Rx5")->SetValue(-1.5);
    spin("Rx1")->SetValue(40);
    find<QCheckBox>("CB4")->click();
    chooseDisplay(2);
    action("CopyCommand")->trigger();
    QString command = QGuiApplication::clipboard()->text();
    ASSERT_TRUE(command.startsWith("tessarel-cli render -o bild.png ")) << command.toStdString();
    QTemporaryDir dir;
    const QString png = dir.filePath("bild.png");
    command.replace(0, QStringLiteral("tessarel-cli render -o bild.png").size(),
                    QStringLiteral("'%1' render -o '%2'").arg(TESSAREL_CLI, png));
    QProcess shell;
    shell.start("sh", {"-c", command});
    ASSERT_TRUE(shell.waitForFinished(30000));
    ASSERT_EQ(shell.exitCode(), 0)
        << command.toStdString() << shell.readAllStandardError().toStdString();
    const QImage shown = find<PlotWidget>("P3D1")->Image();
    EXPECT_EQ(QImage(png).convertToFormat(shown.format()), shown) << command.toStdString();
}

// F1 opens the help; a draw request and Esc keep the formula in the history.
TEST_F(Window, HelpAndHistory) {
    press(field("E7"), Qt::Key_F1);
    auto* help = find<QWidget>("Help");
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(help->windowTitle(), QString::fromUtf8("Tessarel – Hilfe"));
    help->close();
    setFormula("Z*Z");
    click("D1");
    // An interval field's earlier texts come back with Up, the typed one with Down.
    field("E1")->setText("-2");
    click("D1");
    field("E1")->setText("-3");
    press(field("E1"), Qt::Key_Up);
    EXPECT_EQ(field("E1")->text(), "-2");
    press(field("E1"), Qt::Key_Down);
    EXPECT_EQ(field("E1")->text(), "-3");
    setFormula("SIN(Z)");
    press(field("E7"), Qt::Key_Escape);
    EXPECT_EQ(find<FormulaLine>("E7")->History().mid(find<FormulaLine>("E7")->History().size() - 2),
              QStringList({"Z*Z", "SIN(Z)"}));
}

TEST_F(Window, AltAndF10ReachTheMenuBar) {
    auto* bar = find<QMenuBar>("MM1");
    for (Qt::Key key : {Qt::Key_Alt, Qt::Key_F10}) {
        press(field("E7"), key);
        EXPECT_EQ(bar->activeAction(), action("M2")) << key;
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape); // leaves the bar only
        EXPECT_TRUE(w->isVisible());
    }
}

} // namespace
