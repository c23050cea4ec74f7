// The prose of the help window, German HTML: the two formula languages, the
// keys and mouse actions, and the page about the program.
#pragma once

#include <QString>

namespace helptexts {

QString FormulaLineLanguage();
QString IntervalFieldLanguage();
QString KeysAndMouse();
QString About();

} // namespace helptexts
