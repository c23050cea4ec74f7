// The main window, driven offscreen as a user would drive it.
#include "app/errorreport.h"
#include "app/spinfield.h"
#include "app/mainwindow.h"

#include "complexformula/interpreter.h"
#include "qtplot/plotwidget.h"
#include "realformula/interpreter.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <memory>
#include <stdexcept>

namespace {

// Error reports land here instead of in a modal box.
QStringList g_reports;

void ResetSharedState() {
    FormulaText.clear();
    DisplayMode = 1;
    SweepUp = false;
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
        w = std::make_unique<Tfplot3d>();
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

    TPlot3D& plot() { return w->Plot(); }
    double cell(int p, int i) { return plot().SurfaceData().Cell(p, i); }
    std::vector<double> grid() {
        std::vector<double> cells;
        for (int p = 1; p <= 36; ++p)
            for (int i = 1; i <= 36; ++i) cells.push_back(cell(p, i));
        return cells;
    }
    void setFormula(const char* formula) { w->E7->setText(QString::fromUtf8(formula)); }
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
        for (QLineEdit* e : {w->E1, w->E2, w->E3, w->E4, w->E5, w->E6}) texts << e->text();
        return texts;
    }
    QAbstractButton* displayItem(int k) { return w->RadioGroup1Items->button(k); }
    // Radio buttons take clicks on their indicator and caption only.
    void choose(QAbstractButton* item) {
        QTest::mouseClick(item, Qt::LeftButton, Qt::NoModifier, QPoint(6, item->height() / 2));
        ASSERT_TRUE(item->isChecked()) << item->text().toStdString();
    }
    void chooseDisplay(int k) { choose(displayItem(k)); }
    void chooseSimulation(int k) { choose(w->Rg1Items->button(k)); }

    std::unique_ptr<Tfplot3d> w;
    int colorDialogs = 0;
    TColor dialogInitial = 0xABCDEF;
    std::optional<TColor> colorToChoose;
};

// ---------------------------------------------------------------------------
// Start-up

TEST_F(Window, StartUpState) {
    EXPECT_EQ(w->Rx5->text(), "0.00");
    EXPECT_EQ(w->Rx5->Value(), 0);
    EXPECT_EQ(w->Rx3->text(), "1.33");
    EXPECT_EQ(w->L8->text(), "F(Z) =");
    EXPECT_EQ(FormulaText, "SIN(Z+Q)*Z/10");
    EXPECT_EQ(plot().Magnification(), 1.33);
    EXPECT_EQ(plot().CentX(), 411);
    EXPECT_EQ(plot().CentY(), 326);
    EXPECT_EQ(plot().ViewAngleX(), 66);
    EXPECT_EQ(plot().ViewAngleZ(), 115);
    EXPECT_DOUBLE_EQ(plot().RangeXLow(), -3.996);
    EXPECT_EQ(plot().RangeYLow(), -4);
    EXPECT_TRUE(w->Ready);
    EXPECT_FALSE(w->Timer1.isActive());
    EXPECT_EQ(w->Timer1.interval(), 15);
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
    const QImage shown = w->P3D1->Image().convertToFormat(rendered.format());
    ASSERT_EQ(rendered.size(), QSize(823, 653));
    EXPECT_TRUE(rendered == shown);
}

TEST_F(Window, WindowProperties) {
    EXPECT_EQ(w->windowTitle(), "Darstellung komplexer Funktionen ");
    EXPECT_EQ(QApplication::applicationName(), "Tessarel");
    EXPECT_EQ(w->centralWidget()->size(), QSize(1008, 709));
    EXPECT_EQ(w->minimumSize(), w->maximumSize());
    EXPECT_FALSE(w->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(w->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(w->font().pixelSize(), 12);
    EXPECT_EQ(w->P3D1->size(), QSize(823, 653));
    EXPECT_EQ(plot().Width(), 823);
    EXPECT_EQ(plot().Height(), 653);
    EXPECT_EQ(w->E7->width(), 723);
    EXPECT_EQ(w->P3D1->cursor().shape(), Qt::PointingHandCursor);
}

TEST_F(Window, ControlsWhereTheyBelong) {
    const struct {
        const char* name;
        QWidget* control;
        QWidget* parent;
        QRect bounds;
    } rows[] = {
        {"P2", w->P2, w->centralWidget(), {0, 653, 1008, 56}},
        {"P4", w->P4, w->centralWidget(), {823, 0, 185, 653}},
        {"E7", w->E7, w->P2, {80, 14, 723, 22}},
        {"Rx1", w->Rx1, w->P4, {104, 36, 60, 22}},
        {"Rx2", w->Rx2, w->P4, {104, 64, 60, 22}},
        {"Rx3", w->Rx3, w->P4, {104, 96, 60, 22}},
        {"Rx4", w->Rx4, w->P4, {104, 124, 60, 22}},
        {"E1", w->E1, w->P4, {22, 188, 50, 22}},
        {"E2", w->E2, w->P4, {22, 216, 50, 22}},
        {"E3", w->E3, w->P4, {22, 244, 50, 22}},
        {"E4", w->E4, w->P4, {120, 188, 50, 22}},
        {"E5", w->E5, w->P4, {120, 216, 50, 22}},
        {"E6", w->E6, w->P4, {120, 244, 50, 22}},
        {"CB4", w->CB4, w->P4, {20, 280, 173, 17}},
        {"CB1", w->CB1, w->P4, {20, 297, 149, 17}},
        {"CB3", w->CB3, w->P4, {20, 315, 141, 17}},
        {"Rg1", w->Rg1, w->P4, {16, 340, 153, 82}},
        {"D2", w->D2, w->P4, {16, 436, 153, 25}},
        {"Rx6", w->Rx6, w->P4, {16, 473, 40, 21}},
        {"Rx5", w->Rx5, w->P4, {104, 472, 60, 22}},
        {"D1", w->D1, w->P4, {16, 518, 153, 25}},
        {"RadioGroup1", w->RadioGroup1, w->P4, {16, 552, 153, 97}},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(r.control->parentWidget(), r.parent) << r.name;
        EXPECT_EQ(r.control->geometry(), r.bounds) << r.name;
    }
    const struct {
        const char* name;
        QLabel* label;
        QPoint at;
        const char* caption;
    } labels[] = {
        {"L8", w->L8, {16, 16}, "F(Z) ="},
        {"L9", w->L9, {16, 16}, "Darstellung"},
        {"L1", w->L1, {32, 40}, "x-Winkel"},
        {"L2", w->L2, {32, 68}, "z-Winkel"},
        {"L3", w->L3, {51, 100}, "Größe"},
        {"L4", w->L4, {22, 128}, "Abstufung"},
        {"L10", w->L10, {16, 160}, "Koordinatenintervalle"},
        {"L5", w->L5, {76, 192}, "< x <"},
        {"L7", w->L7, {76, 220}, "< y <"},
        {"L6", w->L6, {76, 248}, "< z <"},
        {"L11", w->L11, {72, 474}, "Q ="},
    };
    for (const auto& l : labels) {
        EXPECT_EQ(l.label->pos(), l.at) << l.name;
        EXPECT_EQ(l.label->text(), QString::fromUtf8(l.caption)) << l.name;
    }
    EXPECT_EQ(w->L9->palette().color(QPalette::WindowText), QColor(0, 0, 0x80));
    EXPECT_EQ(w->P4->palette().color(QPalette::Window), QColor(0xF0, 0xF0, 0xF0));
    EXPECT_EQ(w->Rx6->palette().color(QPalette::Base), QColor(0xF0, 0xF0, 0xF0));
    EXPECT_FALSE(w->Rx6->hasFrame());
}

TEST_F(Window, StoredFieldSettings) {
    const struct {
        const char* name;
        SpinField* field;
        int decimals;
        double minimum, maximum, increment;
        const char* text;
    } rows[] = {
        {"Rx1", w->Rx1, 0, 0, 360, 1, "66"},       {"Rx2", w->Rx2, 0, 0, 360, 1, "115"},
        {"Rx3", w->Rx3, 2, 0, 2, 0.02, "1.33"},    {"Rx4", w->Rx4, 1, 0, 9.9, 0.1, "8.0"},
        {"Rx5", w->Rx5, 2, -10, 10, 0.01, "0.00"}, {"Rx6", w->Rx6, 0, 1, 20, 1, "10"},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(r.field->decimals(), r.decimals) << r.name;
        EXPECT_EQ(r.field->minimum(), r.minimum) << r.name;
        EXPECT_EQ(r.field->maximum(), r.maximum) << r.name;
        EXPECT_EQ(r.field->increment(), r.increment) << r.name;
        EXPECT_EQ(r.field->text(), r.text) << r.name;
    }
    EXPECT_FALSE(w->Rx6->typingEnabled());
    EXPECT_TRUE(w->CB3->isChecked());
    EXPECT_FALSE(w->CB4->isChecked());
    EXPECT_FALSE(w->CB1->isChecked());
    EXPECT_EQ(w->Rg1Items->checkedId(), 1);
    EXPECT_EQ(w->RadioGroup1Items->checkedId(), 0);
    EXPECT_EQ(w->E7->text(), "SIN(Z+Q)*Z/10");
    EXPECT_EQ(fieldTexts(), QStringList({"-4", "-4", "-4", "4", "4", "4"}));
}

TEST_F(Window, MenuItems) {
    const struct {
        const char* name;
        QAction* action;
        const char* caption;
        QKeySequence shortcut;
    } rows[] = {
        {"M2", w->M2, "Beenden", QKeySequence(Qt::Key_Escape)},
        {"M4", w->M4, "Darstellung", {}},
        {"M6", w->M6, "Grundeinstellung", {}},
        {"M7", w->M7, "Verkleinern", {}},
        {"M8", w->M8, "Vergrößern", {}},
        {"M9", w->M9, "Farbe 1", {}},
        {"M12", w->M12, "Farbe 2", {}},
        {"sim1", w->sim1, "Simulation", QKeySequence(Qt::Key_F2)},
        {"M3", w->M3, "M", QKeySequence(Qt::Key_Return)},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(r.action->text(), QString::fromUtf8(r.caption)) << r.name;
        EXPECT_EQ(r.action->shortcut(), r.shortcut) << r.name;
    }
    EXPECT_TRUE(w->N4->isSeparator());
    EXPECT_FALSE(w->MM1->actions().contains(w->M3)); // the hidden item
    EXPECT_EQ(w->MM1->actions(), QList<QAction*>({w->M2, w->M4, w->sim1}));
}

TEST_F(Window, TabOrder) {
    w->E7->setFocus();
    QList<QWidget*> visited;
    for (int k = 0; k < 17; ++k) {
        visited << QApplication::focusWidget();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    const QList<QWidget*> expected = {w->E7,  w->Rx1, w->Rx2, w->Rx4, w->Rx3,
                                      w->E1,  w->E2,  w->E3,  w->E4,  w->E5,
                                      w->E6,  w->CB3, w->CB4, w->CB1, w->Rg1Items->checkedButton(),
                                      w->Rx5, w->Rx6};
    EXPECT_EQ(visited, expected);
    EXPECT_EQ(QApplication::focusWidget(), w->D2);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), w->D1);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), w->RadioGroup1Items->checkedButton());
}

// ---------------------------------------------------------------------------
// The draw request

TEST_F(Window, EnterDrawsFromEveryControl) {
    const struct {
        const char* name;
        QWidget* control;
    } rows[] = {
        {"formula line", w->E7},
        {"interval field", w->E3},
        {"angle field", w->Rx1},
        {"Q field", w->Rx5},
        {"Q step field", w->Rx6},
        {"check box", w->CB4},
        {"button", w->D2},
        {"display mode", displayItem(0)},
        {"simulation kind", w->Rg1Items->button(1)},
    };
    w->E6->setText("100");
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
    EXPECT_FALSE(w->Timer1.isActive());
}

TEST_F(Window, ZeichnenDraws) {
    setFormula("Z");
    EXPECT_EQ(FormulaText, "SIN(Z+Q)*Z/10"); // typing alone does not draw
    QTest::mouseClick(w->D1, Qt::LeftButton);
    EXPECT_EQ(FormulaText, "Z");
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
        EXPECT_EQ(DisplayMode, r.mode) << r.name;
        EXPECT_EQ(FormulaText, r.formula) << r.name;
        EXPECT_EQ(grid(), ExpectedGrid(r.formula, r.mode)) << r.name;
    }
}

TEST_F(Window, IntervalFieldsAcceptFormulas) {
    w->E1->setText("ABC");
    w->E2->setText("");
    w->E3->setText("-x");
    w->E4->setText("2*pi");
    w->E5->setText("1,5");
    w->E6->setText("X");
    QTest::mouseClick(w->D1, Qt::LeftButton);
    EXPECT_EQ(plot().RangeXLow(), 0);
    EXPECT_DOUBLE_EQ(plot().RangeXHigh(), 6.283185307179586 * 0.999);
    EXPECT_EQ(plot().RangeYLow(), 0);
    EXPECT_EQ(plot().RangeYHigh(), 1.5);
    EXPECT_EQ(plot().RangeZLow(), -1);
    EXPECT_EQ(plot().RangeZHigh(), 1);
    EXPECT_DOUBLE_EQ(w->FieldValue(w->E4), 6.283185307179586);
    EXPECT_EQ(w->FieldValue(w->E1), 0);
    EXPECT_EQ(w->FieldValue(w->E2), 0);
    // The grid follows the new ranges: row 36 lies on the upper y field.
    setFormula("Z");
    chooseDisplay(1);
    EXPECT_DOUBLE_EQ(cell(1, 36), 1); // y = 1.5 clamped to the z range
    EXPECT_DOUBLE_EQ(cell(1, 1), 1.5 / 36);
}

TEST_F(Window, StraightYAndPulledInX) {
    w->E1->setText("-2");
    w->E2->setText("-3");
    w->E4->setText("5");
    w->E5->setText("6");
    QTest::mouseClick(w->D1, Qt::LeftButton);
    EXPECT_DOUBLE_EQ(plot().RangeXLow(), -2 * 0.999);
    EXPECT_DOUBLE_EQ(plot().RangeXHigh(), 5 * 0.999);
    EXPECT_EQ(plot().RangeYLow(), -3);
    EXPECT_EQ(plot().RangeYHigh(), 6);
}

TEST_F(Window, BoundMeetingTheOtherMovesBy1) {
    w->E1->setText("4");
    w->E4->setText("8");
    QTest::mouseClick(w->D1, Qt::LeftButton);
    EXPECT_DOUBLE_EQ(plot().RangeXLow(), 2.996);
    EXPECT_DOUBLE_EQ(plot().RangeXHigh(), 7.992);
}

TEST_F(Window, SamplingPositions) {
    setFormula("Z");
    QTest::mouseClick(w->D1, Qt::LeftButton);
    EXPECT_NEAR(cell(1, 1), -3.774, 1e-12);
    EXPECT_DOUBLE_EQ(cell(36, 36), 3.996);
    chooseDisplay(1);
    EXPECT_NEAR(cell(1, 1), -3.7777777777777777, 1e-12);
    EXPECT_EQ(cell(36, 36), 4);
    for (int p = 1; p <= 36; ++p) EXPECT_EQ(cell(p, 18), 0.0) << p;
}

TEST_F(Window, ValuesClampedToTheZRange) {
    w->E3->setText("-1");
    w->E6->setText("2");
    setFormula("Z*Z*Z");
    QTest::mouseClick(w->D1, Qt::LeftButton);
    EXPECT_EQ(cell(1, 18), -1);
    EXPECT_EQ(cell(36, 18), 2);
    EXPECT_NEAR(cell(20, 18), std::pow(-3.996 + 7.992 * 20 / 36, 3), 1e-12);
}

TEST_F(Window, FormulaLineUpperCasesWhatIsTyped) {
    w->E7->clear();
    QTest::keyClicks(w->E7, "sin(z)+");
    QTest::sendKeyEvent(QTest::Click, w->E7, Qt::Key_Eacute, QString::fromUtf8("é"),
                        Qt::NoModifier);
    EXPECT_EQ(w->E7->text(), QString::fromUtf8("SIN(Z)+É"));
    EXPECT_EQ(w->E7->FormulaBytes(), "SIN(Z)+\xC9");
}

// ---------------------------------------------------------------------------
// Errors

TEST_F(Window, ErrorReportLeavesTheProgramRunning) {
    // Stored y bounds this wide make the fill overflow a double; the
    // remaining steps of the handler (repaint) are skipped.
    plot().SetRangeYLow(1e308);
    plot().SetRangeYHigh(-1e308);
    w->Rx5->SetValue(0.5); // runs Rx5C, which fills
    ASSERT_EQ(g_reports.size(), 1);
    EXPECT_EQ(g_reports[0], QString::fromUtf8("Gleitkommaüberlauf."));
    EXPECT_EQ(ParamQ, 0.5);
    EXPECT_EQ(w->Rx5->text(), "0.50");
    // The program goes on: "Grundeinstellung" applies the fields again and
    // the next draw request works.
    w->M6->trigger();
    setFormula("Z");
    QTest::mouseClick(w->D1, Qt::LeftButton);
    EXPECT_EQ(g_reports.size(), 1);
    EXPECT_EQ(grid(), ExpectedGrid("Z", 1, 0.5));
    EXPECT_TRUE(w->Ready);
}

TEST_F(Window, ErrorDuringATickIsReportedOnce) {
    plot().SetRangeYLow(1e308);
    plot().SetRangeYHigh(-1e308);
    // The Q field's handler fails inside the tick; the tick reports once.
    chooseSimulation(2);
    w->Rx5->SetValue(2);
    g_reports.clear();
    errorreport::Guarded([this] { w->T1Ti(); });
    EXPECT_EQ(g_reports.size(), 1);
    EXPECT_EQ(w->Rx5->text(), "1.90");
}

TEST_F(Window, TheReportBoxWhileTheSimulationRuns) {
    errorreport::SetPresenter({}); // the real box; it does not block
    chooseSimulation(2);
    setFormula("Z^1000");
    press(w->E7, Qt::Key_F2);
    w->D1->click(); // the draw request fails first, then every tick
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
    EXPECT_EQ(box->text(), QString::fromUtf8("Gleitkommaüberlauf."));
    // The box has the focus: F2 stops the simulation, Esc closes the box only.
    EXPECT_TRUE(QTest::qWaitForWindowActive(box));
    const QString before = w->Rx5->text();
    QTest::qWait(100);
    EXPECT_NE(w->Rx5->text(), before);
    EXPECT_TRUE(w->Timer1.isActive());
    EXPECT_EQ(boxes().size(), 1);
    QTest::keyClick(box, Qt::Key_F2);
    EXPECT_FALSE(w->Timer1.isActive());
    QTest::keyClick(box, Qt::Key_Escape);
    QTest::qWait(20);
    EXPECT_TRUE(boxes().isEmpty());
    EXPECT_FALSE(errorreport::ReportOpen());
    EXPECT_TRUE(QTest::qWaitForWindowActive(w.get())); // the window has the focus back
    // The next error is shown again; Enter closes it without a new draw
    // request (which would fail and show another box).
    w->D1->click();
    QTest::qWait(20);
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_TRUE(QTest::qWaitForWindowActive(boxes().front()));
    QTest::keyClick(boxes().front(), Qt::Key_Return);
    QTest::qWait(20);
    EXPECT_TRUE(boxes().isEmpty());
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
    EXPECT_TRUE(w->Ready);
    w->M6->trigger();
    wheel(120);
    EXPECT_EQ(fieldTexts(), QStringList({"-4.08", "-4.08", "-4.08", "4.08", "4.08", "4.08"}));
    EXPECT_EQ(plot().RangeYHigh(), 4.08);
    // Below a quarter two decimals would not move the fields any more.
    for (QLineEdit* e : {w->E1, w->E4}) e->setText(e == w->E1 ? "-0.25" : "0.25");
    wheel(-120);
    wheel(-120);
    EXPECT_EQ(w->E1->text(), "-0.24");
    EXPECT_EQ(w->E4->text(), "0.24");
    wheel(-120);
    EXPECT_EQ(w->E4->text(), "0.235");
    EXPECT_DOUBLE_EQ(plot().RangeXHigh(), 0.235 * 0.999);
}

TEST_F(Window, WheelReadsPlainNumbersOnly) {
    w->E4->setText("2*pi");
    w->E5->setText("abc");
    wheel(-120);
    EXPECT_EQ(w->E4->text(), "1.96");
    EXPECT_EQ(w->E5->text(), "0");
}

TEST_F(Window, WheelIgnoredWhileNotReady) {
    w->Ready = false;
    wheel(-120);
    EXPECT_EQ(fieldTexts(), QStringList({"-4", "-4", "-4", "4", "4", "4"}));
    w->Ready = true;
}

TEST_F(Window, FailedWheelStepDoesNotFreezeThePlot) {
    setFormula("Z^1000"); // overflows everywhere on the default grid
    QTest::mouseClick(w->D1, Qt::LeftButton);
    ASSERT_EQ(g_reports.size(), 1);
    wheel(-120);
    EXPECT_EQ(g_reports.size(), 2);
    EXPECT_EQ(w->E1->text(), "-3.92");
    EXPECT_FALSE(plot().HoldPaint());
    EXPECT_TRUE(w->Ready);
    wheel(-120); // the wheel still works
    EXPECT_EQ(w->E1->text(), "-3.84");
}

TEST_F(Window, FormulaErrorSkipsTheRestOfTheDrawRequest) {
    w->E1->setText("-2");
    setFormula("Z^1000");
    QTest::mouseClick(w->D1, Qt::LeftButton);
    ASSERT_EQ(g_reports.size(), 1);
    EXPECT_EQ(g_reports[0], QString::fromUtf8("Gleitkommaüberlauf."));
    EXPECT_EQ(FormulaText, "Z^1000");
    EXPECT_DOUBLE_EQ(plot().RangeXLow(), -2 * 0.999); // applied before the fill
    setFormula("Z");
    press(w->E7, Qt::Key_Return);
    EXPECT_EQ(g_reports.size(), 1);
    EXPECT_EQ(grid(), ExpectedGrid("Z", 1, 0, {"-2", "-4", "-4", "4", "4", "4"}));
}

TEST_F(Window, NarrowedFieldsDrawWhatTheWiderOnesCouldNot) {
    // Z^1000 overflows over x and y -4..4 but not over -1..1.
    setFormula("Z^1000");
    QTest::mouseClick(w->D1, Qt::LeftButton);
    ASSERT_EQ(g_reports.size(), 1);
    for (QLineEdit* e : {w->E1, w->E2}) e->setText("-1");
    for (QLineEdit* e : {w->E4, w->E5}) e->setText("1");
    press(w->E7, Qt::Key_Return);
    EXPECT_EQ(g_reports.size(), 1);
    EXPECT_EQ(grid(), ExpectedGrid("Z^1000", 1, 0, {"-1", "-1", "-4", "1", "1", "4"}));
    chooseDisplay(2);
    w->M8->trigger();
    QTest::mouseClick(w->D1, Qt::LeftButton);
    EXPECT_EQ(g_reports.size(), 1);
}

TEST_F(Window, ZoomCommands) {
    w->M7->trigger();
    EXPECT_EQ(fieldTexts(), QStringList({"-4.4", "-4.4", "-4.4", "4.4", "4.4", "4.4"}));
    EXPECT_DOUBLE_EQ(plot().RangeXHigh(), 4.4 * 0.999);
    w->M6->trigger();
    w->M8->trigger();
    EXPECT_EQ(fieldTexts(), QStringList({"-3.64", "-3.64", "-3.64", "3.64", "3.64", "3.64"}));
    EXPECT_EQ(plot().RangeZLow(), -3.64);
}

TEST_F(Window, GrundeinstellungAfterZooming) {
    setFormula("Z");
    w->M7->trigger();
    wheel(-120);
    w->M6->trigger();
    EXPECT_EQ(fieldTexts(), QStringList({"-4", "-4", "-4", "4", "4", "4"}));
    EXPECT_DOUBLE_EQ(plot().RangeXLow(), -3.996);
    EXPECT_EQ(plot().RangeYHigh(), 4);
    EXPECT_EQ(grid(), ExpectedGrid("Z", 1));
}

// ---------------------------------------------------------------------------
// View controls

TEST_F(Window, AngleAndSizeFields) {
    w->Rx1->SetValue(30);
    EXPECT_EQ(plot().ViewAngleX(), 30);
    w->Rx2->SetValue(200.4);
    EXPECT_EQ(w->Rx2->text(), "200");
    EXPECT_EQ(plot().ViewAngleZ(), 200);
    w->Rx3->SetValue(1.5);
    EXPECT_EQ(plot().Magnification(), 1.5);
    w->Rx1->SetValue(361);
    EXPECT_EQ(w->Rx1->text(), "360");
    EXPECT_EQ(plot().ViewAngleX(), 360);
    w->Rx3->setFocus();
    QTest::keyClick(w->Rx3, Qt::Key_Up);
    EXPECT_EQ(w->Rx3->text(), "1.52");
    EXPECT_EQ(plot().Magnification(), 1.52);
}

TEST_F(Window, GradationField) {
    w->Rx4->SetValue(9.9);
    EXPECT_DOUBLE_EQ(plot().ColorScaleHigh(), 9.9);
    EXPECT_DOUBLE_EQ(plot().ColorScaleLow(), 9.9 - 15);
    w->Rx4->SetValue(2.5);
    EXPECT_DOUBLE_EQ(plot().ColorScaleHigh(), 2.5);
    EXPECT_DOUBLE_EQ(plot().ColorScaleLow(), -12.5);
    w->Rx4->SetValue(0);
    EXPECT_EQ(plot().ColorScaleHigh(), 0);
    EXPECT_EQ(plot().ColorScaleLow(), -15);
}

TEST_F(Window, CheckBoxes) {
    QTest::mouseClick(w->CB3, Qt::LeftButton);
    EXPECT_FALSE(plot().MeshVisible());
    QTest::mouseClick(w->CB4, Qt::LeftButton);
    EXPECT_TRUE(plot().VisibleXCoords());
    EXPECT_TRUE(plot().VisibleYCoords());
    EXPECT_TRUE(plot().VisibleZCoords());
    plot().SetColorCubeFrame(clRed);
    QTest::mouseClick(w->CB1, Qt::LeftButton);
    EXPECT_EQ(plot().BoundBoxStyle(), bbFaces);
    EXPECT_EQ(plot().ColorCubeFrame(), TColor(0x404040));
    EXPECT_FALSE(plot().HoldPaint());
    QTest::mouseClick(w->CB1, Qt::LeftButton);
    EXPECT_EQ(plot().BoundBoxStyle(), bbNone);
    // A click into the formula line applies the box check box again.
    plot().SetBoundBoxStyle(bbFrame);
    QTest::mouseClick(w->E7, Qt::LeftButton);
    EXPECT_EQ(plot().BoundBoxStyle(), bbNone);
}

TEST_F(Window, ColourMenu) {
    w->M9->trigger();
    EXPECT_EQ(colorDialogs, 1);
    EXPECT_EQ(dialogInitial, clBlack);
    EXPECT_EQ(plot().ColorHigh(), clYellow); // cancelled
    EXPECT_EQ(plot().ColorLow(), clFuchsia);
    colorToChoose = RGB(10, 20, 30);
    w->M9->trigger();
    EXPECT_EQ(plot().ColorHigh(), RGB(10, 20, 30));
    EXPECT_EQ(plot().ColorLow(), clFuchsia);
    colorToChoose = clGreen;
    w->M12->trigger();
    EXPECT_EQ(plot().ColorLow(), clGreen);
    EXPECT_EQ(plot().ColorHigh(), RGB(10, 20, 30));
}

TEST_F(Window, QFieldFillsWithTheNewQ) {
    setFormula("Q");
    QTest::mouseClick(w->D1, Qt::LeftButton);
    w->Rx5->SetValue(1.234);
    EXPECT_EQ(ParamQ, 1.23);
    EXPECT_EQ(ComplexParamQ.re, static_cast<long double>(1.23));
    EXPECT_EQ(ComplexParamQ.im, 0.0L);
    EXPECT_EQ(cell(5, 5), 1.23);
}

TEST_F(Window, MouseActionCopiesTheAnglesIntoTheFields) {
    int cx = 411, cy = 326;
    double rx = 93.57, rz = 71.26, mag = 1.33;
    plot().OnMouseAction(plot(), cx, cy, rx, rz, mag, TShiftState{});
    EXPECT_EQ(w->Rx1->text(), "94");
    EXPECT_EQ(w->Rx2->text(), "71");
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
    EXPECT_EQ(w->Rx2->text(), "71");
    EXPECT_EQ(w->Rx1->text(), "94");
    EXPECT_EQ(plot().ViewAngleZ(), 71);
    EXPECT_EQ(plot().ViewAngleX(), 94);
    // Through the widget, as the mouse delivers it.
    QTest::mouseMove(w->P3D1, QPoint(300, 350));
    QMouseEvent drag(QEvent::MouseMove, QPointF(400, 350), w->P3D1->mapToGlobal(QPointF(400, 350)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w->P3D1, &drag);
    EXPECT_EQ(w->Rx2->text(), QString::number(std::lround(71 - 36000.0 / 823)));
}

// ---------------------------------------------------------------------------
// Simulation

TEST_F(Window, RotationWraps) {
    const struct {
        const char* name;
        int kind;
        SpinField* field;
    } rows[] = {{"x rotation", 0, w->Rx1}, {"z rotation", 1, w->Rx2}};
    for (const auto& r : rows) {
        chooseSimulation(r.kind);
        r.field->SetValue(358);
        QStringList seen;
        for (int k = 0; k < 4; ++k) {
            w->T1Ti();
            seen << r.field->text();
        }
        EXPECT_EQ(seen, QStringList({"359", "0", "1", "2"})) << r.name;
        r.field->SetValue(360);
        w->T1Ti();
        EXPECT_EQ(r.field->text(), "0") << r.name << " from 360";
    }
    EXPECT_EQ(plot().ViewAngleX(), 0);
    EXPECT_EQ(plot().ViewAngleZ(), 0);
}

TEST_F(Window, QSweepReversesAtTheBound) {
    chooseSimulation(2);
    setFormula("Q");
    QTest::mouseClick(w->D1, Qt::LeftButton);
    w->Rx5->SetValue(-9.95);
    QStringList seen;
    for (int k = 0; k < 2; ++k) {
        w->T1Ti();
        seen << w->Rx5->text();
    }
    EXPECT_EQ(seen, QStringList({"-10.00", "-9.90"}));
    EXPECT_TRUE(SweepUp);
    EXPECT_EQ(ParamQ, -9.9);
    EXPECT_EQ(cell(1, 1), -4); // Q clamped to the z range
    // A step landing on the bound shows it for two ticks.
    SweepUp = false;
    w->Rx5->SetValue(-9.8);
    seen.clear();
    for (int k = 0; k < 4; ++k) {
        w->T1Ti();
        seen << w->Rx5->text();
    }
    EXPECT_EQ(seen, QStringList({"-9.90", "-10.00", "-10.00", "-9.90"}));
    // The upper bound, with a smaller step.
    w->Rx6->SetValue(3);
    w->Rx5->SetValue(9.98);
    SweepUp = true;
    w->T1Ti();
    EXPECT_EQ(w->Rx5->text(), "10.00");
    EXPECT_FALSE(SweepUp);
    w->E6->setText("20");
    QTest::mouseClick(w->D1, Qt::LeftButton);
    w->T1Ti();
    EXPECT_EQ(w->Rx5->text(), "9.97");
    EXPECT_DOUBLE_EQ(cell(2, 2), 9.97);
}

TEST_F(Window, SimulationButtonAndF2) {
    QTest::mouseClick(w->D2, Qt::LeftButton);
    EXPECT_TRUE(w->Timer1.isActive());
    EXPECT_EQ(w->D2->text(), "Stopp");
    EXPECT_EQ(w->sim1->text(), "Simulation");
    press(w->E1, Qt::Key_F2);
    EXPECT_FALSE(w->Timer1.isActive());
    EXPECT_EQ(w->D2->text(), "Simulation");
    press(w->Rx1, Qt::Key_F2);
    EXPECT_TRUE(w->Timer1.isActive());
    w->sim1->trigger();
    EXPECT_FALSE(w->Timer1.isActive());
}

TEST_F(Window, TimerTurnsTheSurface) {
    chooseSimulation(1);
    QTest::mouseClick(w->D2, Qt::LeftButton);
    QTest::qWait(200);
    QTest::mouseClick(w->D2, Qt::LeftButton);
    const int turned = static_cast<int>(w->Rx2->Value()) - 115;
    EXPECT_GE(turned, 3);
    EXPECT_LE(turned, 14); // ticks do not pile up beyond one per 15 ms
    EXPECT_EQ(plot().ViewAngleZ(), w->Rx2->Value());
}

TEST_F(Window, SweepDirectionKeptAcrossStopAndRestart) {
    chooseSimulation(2);
    w->Rx5->SetValue(-9.95);
    w->T1Ti();
    ASSERT_TRUE(SweepUp);
    QTest::mouseClick(w->D2, Qt::LeftButton);
    QTest::mouseClick(w->D2, Qt::LeftButton);
    chooseSimulation(0);
    QTest::mouseClick(w->D2, Qt::LeftButton);
    QTest::mouseClick(w->D2, Qt::LeftButton);
    chooseSimulation(2);
    EXPECT_TRUE(SweepUp);
    w->T1Ti();
    EXPECT_EQ(w->Rx5->text(), "-9.90");
}

TEST_F(Window, EscapeEndsTheProgram) {
    press(w->Rx5, Qt::Key_Escape);
    EXPECT_FALSE(w->isVisible());
}

} // namespace
