// Small helpers the window's files share.
#include "app/windowsupport.h"

#include "text/cp1252.h"

#include <QAction>
#include <QLineEdit>
#include <QStyle>

namespace windowsupport {

std::string Bytes(const QString& text) {
    return text::Utf8ToCp1252(text.toStdString());
}

QString FromBytes(const std::string& cp1252) {
    return QString::fromStdString(text::Cp1252ToUtf8(cp1252));
}

void SetBackground(QWidget* widget, const QColor& color, QPalette::ColorRole role) {
    QPalette p = widget->palette();
    p.setColor(role, color);
    widget->setPalette(p);
    if (role == QPalette::Window) widget->setAutoFillBackground(true);
}

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

} // namespace windowsupport
