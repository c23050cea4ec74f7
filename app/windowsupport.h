// Small helpers the window's files share: texts between Qt and the
// interpreters' Windows-1252 bytes, backgrounds, and the notes a line shows.
#pragma once

#include "app/formulafeedback.h"

#include <QColor>
#include <QPalette>
#include <QString>

#include <string>

class QLineEdit;
class QWidget;

namespace windowsupport {

// A control's text as the interpreters read it, and back.
std::string Bytes(const QString& text);
QString FromBytes(const std::string& cp1252);

// Paints a role of the widget's palette; the window role fills the widget.
void SetBackground(QWidget* widget, const QColor& color,
                   QPalette::ColorRole role = QPalette::Window);

// A line's note: a tint, on wide lines a warning sign at the end, and the
// text as tooltip; no note restores the white line. Unchanged notes are left
// alone, so a simulation that fills every 15 ms does not churn the widget.
void ShowNote(QLineEdit* line, const feedback::Note& note);

} // namespace windowsupport
