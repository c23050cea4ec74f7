// The formula line: upper-casing while typing and the click report.
#include "app/formulaline.h"

#include "text/cp1252.h"

#include <QMouseEvent>

#include <algorithm>

namespace {

std::string Bytes(const QString& s) {
    return text::Utf8ToCp1252(s.toStdString());
}

} // namespace

FormulaLine::FormulaLine(QWidget* parent) : QLineEdit(parent) {
    connect(this, &QLineEdit::textEdited, this, &FormulaLine::onTextEdited);
}

std::string FormulaLine::FormulaBytes() const {
    return Bytes(text());
}

QString FormulaLine::UpperCased(const QString& text) {
    return QString::fromStdString(text::Cp1252ToUtf8(text::UpperCase1252(Bytes(text))));
}

void FormulaLine::onTextEdited(const QString& typed) {
    const QString upper = UpperCased(typed);
    if (upper == typed) return;
    const int cursor = cursorPosition();
    setText(upper);
    setCursorPosition(std::min(cursor, static_cast<int>(upper.size())));
}

void FormulaLine::mouseReleaseEvent(QMouseEvent* event) {
    QLineEdit::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}
