// The numeric edit field: what it accepts while typing, parsing, formatting,
// clamping and stepping of its text, and its up and down buttons.
#include "app/spinfield.h"

#include "app/errorreport.h"

#include <QApplication>
#include <QKeyEvent>
#include <QToolButton>
#include <QValidator>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

namespace {

constexpr int kButtonWidth = 14;

bool IsSeparator(QChar c) {
    return c == '.' || c == ',';
}
bool IsExponent(QChar c) {
    return c == 'e' || c == 'E';
}

// Refuses pasted or dropped text that typing could not produce.
class TypingValidator : public QValidator {
  public:
    explicit TypingValidator(SpinField* field) : QValidator(field), m_field(field) {}
    State validate(QString& input, int&) const override {
        return m_field->AcceptableWhileTyping(input) ? Acceptable : Invalid;
    }

  private:
    SpinField* m_field;
};

} // namespace

SpinField::SpinField(QWidget* parent)
    : QLineEdit(parent), m_up(new QToolButton(this)), m_down(new QToolButton(this)) {
    for (QToolButton* b : {m_up, m_down}) {
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoRepeat(true);
        b->setCursor(Qt::ArrowCursor);
    }
    m_up->setArrowType(Qt::UpArrow);
    m_down->setArrowType(Qt::DownArrow);
    connect(m_up, &QToolButton::clicked, this,
            [this] { errorreport::Guarded([this] { Step(1); }); });
    connect(m_down, &QToolButton::clicked, this,
            [this] { errorreport::Guarded([this] { Step(-1); }); });
    connect(this, &QLineEdit::textChanged, this, &SpinField::onTextChanged);
    setValidator(new TypingValidator(this));
    setTextMargins(0, 0, kButtonWidth, 0);
    setText(FormatValue(0));
}

void SpinField::setDecimals(int decimals) {
    m_decimals = std::clamp(decimals, 0, 15);
}

void SpinField::setRange(double minimum, double maximum) {
    m_minimum = minimum;
    m_maximum = maximum;
}

void SpinField::setTypingEnabled(bool enabled) {
    m_typingEnabled = enabled;
    setReadOnly(!enabled);
}

bool SpinField::AcceptableWhileTyping(const QString& text) const {
    int separators = 0;
    int exponents = 0;
    for (QChar c : text) {
        if (c.isDigit() && c.unicode() < 128) continue;
        if (c == '+' || c == '-') continue;
        if (m_decimals > 0 && IsSeparator(c) && ++separators == 1) continue;
        if (m_decimals > 0 && IsExponent(c) && ++exponents == 1) continue;
        return false;
    }
    return true;
}

bool SpinField::ParseText(const QString& text, double& value) const {
    std::string s = text.trimmed().toStdString();
    std::replace(s.begin(), s.end(), ',', '.');
    // from_chars takes a minus sign but no plus sign.
    if (s.size() > 1 && s[0] == '+' && s[1] != '-' && s[1] != '+') s.erase(0, 1);
    if (s.empty()) return false;
    const char* first = s.data();
    const char* last = s.data() + s.size();
    if (m_decimals == 0) {
        long long n = 0;
        const auto [end, ec] = std::from_chars(first, last, n);
        if (ec != std::errc() || end != last) return false;
        value = static_cast<double>(n);
        return true;
    }
    double v = 0;
    const auto [end, ec] = std::from_chars(first, last, v, std::chars_format::general);
    if (ec != std::errc() || end != last || !std::isfinite(v)) return false;
    value = v;
    return true;
}

double SpinField::Value() const {
    double v = 0;
    if (!ParseText(text(), v)) return m_minimum;
    return m_minimum != m_maximum ? std::clamp(v, m_minimum, m_maximum) : v;
}

QString SpinField::FormatValue(double value) const {
    if (std::isnan(value)) value = m_minimum;
    const double scale = std::pow(10.0, m_decimals);
    double rounded = m_decimals == 0 ? std::nearbyint(value) : value;
    if (std::isfinite(value) && std::nearbyint(value * scale) == 0) rounded = 0; // no "-0.00"
    char buffer[512];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, rounded,
                                         std::chars_format::fixed, m_decimals);
    if (ec != std::errc()) return QString::number(rounded, 'g', 17);
    return QString::fromLatin1(buffer, static_cast<int>(end - buffer));
}

void SpinField::SetValue(double value) {
    if (std::isnan(value)) value = m_minimum;
    if (m_minimum != m_maximum) value = std::clamp(value, m_minimum, m_maximum);
    const QString newText = FormatValue(value);
    if (newText == text()) return;
    m_programWrite = true;
    setText(newText);
    m_programWrite = false;
    runOnChange();
}

void SpinField::Step(int steps) {
    SetValue(Value() + steps * m_increment);
}

void SpinField::runOnChange() {
    errorreport::Guarded([this] {
        if (OnChange) OnChange();
    });
}

void SpinField::onTextChanged() {
    // A program write runs OnChange itself, after the text is in place.
    if (!m_programWrite) runOnChange();
}

void SpinField::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down) {
        const int steps = event->key() == Qt::Key_Up ? 1 : -1;
        errorreport::Guarded([this, steps] { Step(steps); });
        event->accept();
        return;
    }
    const QString typed = event->text();
    if (!typed.isEmpty() && typed.at(0).isPrint()) {
        QString result = text();
        if (hasSelectedText())
            result.replace(selectionStart(), selectedText().size(), typed);
        else
            result.insert(cursorPosition(), typed);
        if (!m_typingEnabled || !AcceptableWhileTyping(result)) {
            QApplication::beep();
            event->accept();
            return;
        }
    }
    QLineEdit::keyPressEvent(event);
}

void SpinField::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    double v = 0;
    if (m_minimum != m_maximum && ParseText(text(), v) && (v < m_minimum || v > m_maximum))
        errorreport::Guarded([this, v] { SetValue(v); });
}

void SpinField::resizeEvent(QResizeEvent* event) {
    QLineEdit::resizeEvent(event);
    placeButtons();
}

void SpinField::placeButtons() {
    const int h = height();
    m_up->setGeometry(width() - kButtonWidth, 0, kButtonWidth, h / 2);
    m_down->setGeometry(width() - kButtonWidth, h / 2, kButtonWidth, h - h / 2);
}
