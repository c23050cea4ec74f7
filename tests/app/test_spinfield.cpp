// The numeric spin field on its own.
#include "app/errorreport.h"
#include "app/spinfield.h"

#include <QApplication>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

namespace {

struct FieldSetup {
    int decimals;
    double minimum, maximum, increment;
};

class Spin : public ::testing::Test {
  protected:
    void make(FieldSetup s, double value) {
        holder = std::make_unique<QWidget>();
        field = new SpinField(holder.get());
        other = new QLineEdit(holder.get());
        other->move(0, 40);
        field->setGeometry(0, 0, 60, 22);
        field->setDecimals(s.decimals);
        field->setRange(s.minimum, s.maximum);
        field->setIncrement(s.increment);
        field->SetValue(value);
        field->OnChange = [this] { ++changes; };
        holder->show();
        holder->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(holder.get()));
        field->setFocus();
    }
    std::unique_ptr<QWidget> holder;
    SpinField* field = nullptr;
    QLineEdit* other = nullptr;
    int changes = 0;
};

const FieldSetup Decimal2{2, -10, 10, 0.01};
const FieldSetup Integer360{0, 0, 360, 1};

TEST_F(Spin, ReadingTheText) {
    make(Decimal2, 0);
    const struct {
        const char* name;
        const char* text;
        double value;
    } rows[] = {
        {"decimal point", "1.25", 1.25},
        {"decimal comma", "1,25", 1.25},
        {"sign", "-3.5", -3.5},
        {"plus sign", "+2", 2},
        {"exponent", "1e1", 10},
        {"outside the range reads as the field will show it", "25", 10},
        {"empty reads the minimum", "", -10},
        {"sign alone reads the minimum", "-", -10},
        {"two signs read the minimum", "--1", -10},
    };
    for (const auto& r : rows) {
        field->setText(r.text);
        EXPECT_DOUBLE_EQ(field->Value(), r.value) << r.name;
    }
    make(Integer360, 0);
    field->setText("12");
    EXPECT_EQ(field->Value(), 12);
    field->setText("1.5");
    EXPECT_EQ(field->Value(), 0); // not an integer: the minimum
    field->setText("99999999999999999999999");
    EXPECT_EQ(field->Value(), 0);
}

TEST_F(Spin, SettingClampsRoundsAndWrites) {
    const struct {
        const char* name;
        FieldSetup setup;
        double value;
        const char* text;
    } rows[] = {
        {"decimals written", Decimal2, 1.3302, "1.33"},
        {"whole number with decimals", Decimal2, 0, "0.00"},
        {"above the maximum", Decimal2, 10.05, "10.00"},
        {"below the minimum", Decimal2, -11, "-10.00"},
        {"tiny negative is not -0.00", Decimal2, -0.001, "0.00"},
        {"integer rounds", Integer360, 71.26, "71"},
        {"integer halves to even", Integer360, 92.5, "92"},
        {"integer clamps", Integer360, 361, "360"},
        {"one decimal", {1, 0, 9.9, 0.1}, 8, "8.0"},
        {"equal bounds do not clamp", {0, 0, 0, 1}, 500, "500"},
    };
    for (const auto& r : rows) {
        make(r.setup, 5);
        changes = 0;
        field->SetValue(r.value);
        EXPECT_EQ(field->text(), r.text) << r.name;
        EXPECT_EQ(changes, 1) << r.name;
    }
}

TEST_F(Spin, OnChangeOnlyWhenTheTextChanges) {
    make(Integer360, 66);
    field->SetValue(66);
    field->SetValue(66.2);
    EXPECT_EQ(changes, 0);
    field->SetValue(67);
    EXPECT_EQ(changes, 1);
    QTest::keyClick(field, Qt::Key_8);
    EXPECT_EQ(field->text(), "678"); // not clamped while typing
    EXPECT_EQ(changes, 2);
}

TEST_F(Spin, ChangeHandlerSeesTheNewText) {
    make(Decimal2, 1);
    QString seen;
    field->OnChange = [&] { seen = field->text(); };
    field->SetValue(2);
    EXPECT_EQ(seen, "2.00");
}

TEST_F(Spin, StepsByKeysAndButtons) {
    make({2, 0, 2, 0.02}, 1.33);
    QTest::keyClick(field, Qt::Key_Up);
    EXPECT_EQ(field->text(), "1.35");
    QTest::keyClick(field, Qt::Key_Down);
    QTest::keyClick(field, Qt::Key_Down);
    EXPECT_EQ(field->text(), "1.31");
    EXPECT_EQ(changes, 3);
    field->SetValue(1.99);
    changes = 0;
    QTest::keyClick(field, Qt::Key_Up);
    QTest::keyClick(field, Qt::Key_Up);
    EXPECT_EQ(field->text(), "2.00");
    EXPECT_EQ(changes, 1); // the second step changed nothing
    const auto buttons = field->findChildren<QToolButton*>();
    ASSERT_EQ(buttons.size(), 2);
    for (QToolButton* b : buttons) {
        if (b->arrowType() == Qt::DownArrow) QTest::mouseClick(b, Qt::LeftButton);
    }
    EXPECT_EQ(field->text(), "1.98");
    EXPECT_TRUE(field->hasFocus()); // the buttons do not take the focus
}

TEST_F(Spin, OnlyNumberCharactersWhileTyping) {
    const struct {
        const char* name;
        FieldSetup setup;
        const char* typed;
        const char* text;
    } rows[] = {
        {"digits and sign", Integer360, "-12", "-12"},
        {"letters refused", Integer360, "1a2", "12"},
        {"no separator in integers", Integer360, "1.5", "15"},
        {"decimal point", Decimal2, "1.5", "1.5"},
        {"decimal comma", Decimal2, "1,5", "1,5"},
        {"one separator only", Decimal2, "1.5.2", "1.52"},
        {"exponent letter", Decimal2, "2e3", "2e3"},
        {"one exponent only", Decimal2, "2e3e", "2e3"},
        {"blank refused", Decimal2, "1 2", "12"},
    };
    for (const auto& r : rows) {
        make(r.setup, 0);
        field->clear();
        QTest::keyClicks(field, r.typed);
        EXPECT_EQ(field->text(), r.text) << r.name;
    }
}

TEST_F(Spin, ClampsWhenTheFocusLeaves) {
    make(Integer360, 66);
    field->clear();
    QTest::keyClicks(field, "400");
    EXPECT_EQ(field->text(), "400");
    other->setFocus();
    EXPECT_EQ(field->text(), "360");
    field->setFocus();
    field->clear();
    other->setFocus();
    EXPECT_EQ(field->text(), ""); // reads as the minimum, which is in range
}

TEST_F(Spin, TypingDisabled) {
    make({0, 1, 20, 1}, 10);
    field->setTypingEnabled(false);
    QTest::keyClicks(field, "5");
    QTest::keyClick(field, Qt::Key_Backspace);
    EXPECT_EQ(field->text(), "10");
    QTest::keyClick(field, Qt::Key_Up);
    EXPECT_EQ(field->text(), "11");
    field->SetValue(25);
    EXPECT_EQ(field->text(), "20");
}

TEST_F(Spin, AnErrorInTheChangeHandlerIsReported) {
    QStringList shown;
    errorreport::SetPresenter([&](const QString& text) { shown << text; });
    make(Integer360, 5);
    field->OnChange = [] { throw std::runtime_error("kaputt"); };
    QTest::keyClick(field, Qt::Key_Up);
    QTest::keyClick(field, Qt::Key_1);
    errorreport::SetPresenter({});
    EXPECT_EQ(shown, QStringList({"kaputt.", "kaputt."}));
    EXPECT_EQ(field->text(), "61");
}

} // namespace
