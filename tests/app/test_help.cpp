// The help window's filter, the formula line's completion and its history.
// The history lives in a temporary settings folder per test, never in the
// user's own settings.
#include "app/formulaline.h"
#include "app/functioncatalog.h"
#include "app/helpwindow.h"

#include <QAbstractItemView>
#include <QAction>
#include <QCompleter>
#include <QLineEdit>
#include <QMenu>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <memory>

namespace {

class FormulaLineTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(m_settingsDir.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settingsDir.path());
    }
    // A shown line in an active window with an Enter action, as the main
    // window has one.
    FormulaLine& NewLine() {
        m_window = std::make_unique<QWidget>();
        auto* line = new FormulaLine;
        (new QVBoxLayout(m_window.get()))->addWidget(line);
        m_drawAction = new QAction(m_window.get());
        m_drawAction->setShortcut(Qt::Key_Return);
        m_window->addAction(m_drawAction);
        m_window->show();
        m_window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(m_window.get()));
        line->setFocus();
        return *line;
    }
    QStringList Offered(FormulaLine& line) {
        QStringList names;
        if (!line.Completer()->popup()->isVisible()) return names;
        for (int r = 0; line.Completer()->setCurrentRow(r); ++r)
            names << line.Completer()->currentCompletion();
        return names;
    }

    QTemporaryDir m_settingsDir;
    std::unique_ptr<QWidget> m_window;
    QAction* m_drawAction = nullptr;
};

} // namespace

TEST(HelpWindow, FilterFindsNamesAndDescriptionsInAnyCase) {
    struct Row {
        const char* filter;
        const char* found;
        const char* hidden; // nullptr: nothing to check
    } rows[] = {
        {"zeta", "ZETA", "SIN"},   {"Sinh", "SINH", "COSH"}, {"bessel", "BESSJ0", "GAMMA"},
        {"zehnerlog", "LG", "LN"}, {"", "TIM", nullptr},
    };
    HelpWindow help;
    for (const Row& r : rows) {
        help.FilterField()->clear();
        QTest::keyClicks(help.FilterField(), r.filter);
        const QStringList shown = help.VisibleFunctions();
        EXPECT_TRUE(shown.contains(r.found)) << r.filter;
        if (r.hidden) {
            EXPECT_FALSE(shown.contains(r.hidden)) << r.filter;
        }
    }
}

TEST_F(FormulaLineTest, CompletesOnlyTheWordAtTheCursor) {
    struct Row {
        const char* typed;
        QStringList offered; // empty: no list shown
    } rows[] = {
        {"SI", {"SIN", "SINH"}},
        {"Z*si", {"SIN", "SINH"}},
        {"SIN(Z)+CO", {"COS", "COSH", "COT", "COTH"}},
        {"Z", {}},    // one letter is a variable
        {"SINH", {}}, // nothing longer fits
        {"XY", {}},
    };
    FormulaLine& line = NewLine();
    for (const Row& r : rows) {
        line.clear();
        QTest::keyClicks(&line, r.typed);
        for (const QString& name : r.offered) EXPECT_TRUE(Offered(line).contains(name)) << r.typed;
        if (r.offered.isEmpty()) {
            EXPECT_FALSE(line.Completer()->popup()->isVisible()) << r.typed;
        }
        line.Completer()->popup()->hide();
    }
}

TEST_F(FormulaLineTest, EnterAndEscServeTheOpenListFirst) {
    FormulaLine& line = NewLine();
    auto* quitAction = new QAction(m_window.get());
    quitAction->setShortcut(Qt::Key_Escape);
    m_window->addAction(quitAction);
    QSignalSpy draws(m_drawAction, &QAction::triggered);
    QSignalSpy quits(quitAction, &QAction::triggered);
    QAbstractItemView* list = line.Completer()->popup();

    QTest::keyClicks(&line, "Z*CO");
    ASSERT_TRUE(list->isVisible());
    QTest::keyClick(list, Qt::Key_Escape);
    EXPECT_FALSE(list->isVisible());
    EXPECT_EQ(line.text(), "Z*CO");
    EXPECT_EQ(quits.count(), 0);

    line.setText("2*SI(Z)");
    line.setCursorPosition(4);
    QTest::keyClicks(&line, "n");
    ASSERT_TRUE(list->isVisible());
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(line.text(), "2*SINH(Z)");
    EXPECT_EQ(draws.count(), 0);
    QTest::keyClick(&line, Qt::Key_Return);
    EXPECT_EQ(draws.count(), 1);
}

TEST_F(FormulaLineTest, HistoryGoesBackAndForthAndOutlivesTheLine) {
    {
        FormulaLine& line = NewLine();
        for (const char* f : {"Z", "SIN(Z)", "Z", "GAMMA(Z)"}) {
            line.setText(f);
            line.RememberFormula();
        }
        EXPECT_EQ(line.History(), QStringList({"SIN(Z)", "Z", "GAMMA(Z)"})); // no copies
        line.setText("TYPED");
        QTest::keyClick(&line, Qt::Key_Up);
        EXPECT_EQ(line.text(), "GAMMA(Z)");
        QTest::keyClick(&line, Qt::Key_Up);
        QTest::keyClick(&line, Qt::Key_Up);
        QTest::keyClick(&line, Qt::Key_Up); // stays at the oldest
        EXPECT_EQ(line.text(), "SIN(Z)");
        QTest::keyClick(&line, Qt::Key_Down);
        QTest::keyClick(&line, Qt::Key_Down);
        QTest::keyClick(&line, Qt::Key_Down); // back to what was typed
        EXPECT_EQ(line.text(), "TYPED");
    }
    FormulaLine& restarted = NewLine();
    EXPECT_TRUE(restarted.text().isEmpty());
    QTest::keyClick(&restarted, Qt::Key_Up);
    EXPECT_EQ(restarted.text(), "GAMMA(Z)");
}

TEST_F(FormulaLineTest, KeepsTheLastHundred) {
    FormulaLine& line = NewLine();
    for (int k = 1; k <= FormulaLine::HistoryLimit + 5; ++k) {
        line.setText(QStringLiteral("Z*%1").arg(k));
        line.RememberFormula();
    }
    const QStringList live = line.History();
    for (const QStringList& kept : {live, NewLine().History()}) { // the second after a restart
        ASSERT_EQ(kept.size(), FormulaLine::HistoryLimit);
        EXPECT_EQ(kept.front(), "Z*6");
        EXPECT_EQ(kept.back(), "Z*105");
    }
}

TEST_F(FormulaLineTest, InsertMenuPutsACallAtTheCursor) {
    FormulaLine& line = NewLine();
    QMenu menu;
    functioncatalog::FillInsertMenu(menu, functioncatalog::ComplexFunctions(),
                                    [&](const QString& name) { line.InsertFunction(name); });
    line.setText("Z+Z");
    line.setCursorPosition(2);
    for (QAction* a : menu.actions())
        if (a->text() == "GAMMA") a->trigger();
    EXPECT_EQ(line.text(), "Z+GAMMA(Z");
}
