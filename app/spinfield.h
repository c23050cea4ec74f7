// A numeric edit line with up and down buttons, integer or decimal.
//
// The text is the truth: Value() parses it (text that is not a number reads as
// the minimum) and clamps it, SetValue() clamps and writes it. OnChange runs
// whenever the text changes, when the user types as well as when the program
// sets a value. Typed text is clamped when the field loses the focus; until
// then Value() already gives the value the field will show.
#pragma once

#include <QLineEdit>

#include <functional>

class QToolButton;

class SpinField : public QLineEdit {
    Q_OBJECT

  public:
    explicit SpinField(QWidget* parent = nullptr);

    // 0 decimals makes an integer field; decimal fields write that many.
    void setDecimals(int decimals);
    int decimals() const { return m_decimals; }
    void setRange(double minimum, double maximum);
    double minimum() const { return m_minimum; }
    double maximum() const { return m_maximum; }
    void setIncrement(double increment) { m_increment = increment; }
    double increment() const { return m_increment; }
    // False leaves only the buttons and the arrow keys to change the value.
    void setTypingEnabled(bool enabled);
    bool typingEnabled() const { return m_typingEnabled; }

    double Value() const;
    // Clamps to minimum..maximum (unless the two are equal), rounds to the
    // field's decimals and writes the text; OnChange runs if the text changed.
    void SetValue(double value);
    // Adds steps times the increment, clamped, as the buttons and arrow keys do.
    void Step(int steps);

    // The text that SetValue writes for a value (no clamping).
    QString FormatValue(double value) const;
    // The value a text stands for, or nullopt-like false when it is no number.
    bool ParseText(const QString& text, double& value) const;
    // Whether text may stand in the field while the user types.
    bool AcceptableWhileTyping(const QString& text) const;

    std::function<void()> OnChange;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void runOnChange();
    void onTextChanged();
    void placeButtons();

    double m_minimum = 0;
    double m_maximum = 100;
    double m_increment = 1;
    int m_decimals = 0;
    bool m_typingEnabled = true;
    bool m_programWrite = false;
    QToolButton* m_up;
    QToolButton* m_down;
};
