// The functions of the two formula languages as the window shows them: names
// and one-line descriptions from the interpreters' own tables, as a model for
// the completer and as a menu that inserts a call.
#pragma once

#include <QString>

#include <functional>
#include <vector>

class QMenu;
class QStandardItemModel;
class QObject;

namespace functioncatalog {

struct Function {
    QString name;          // upper case, as the interpreter reads it
    QString description;   // one German line: what it computes, its domain
    bool addition = false; // a name beyond the language's original set
};

// The formula line's (complex) functions, in the interpreter's table order.
std::vector<Function> ComplexFunctions();
// The interval fields' (real) functions, in the interpreter's table order.
std::vector<Function> RealFunctions();

// Two columns, name and description (also the name's tooltip), sorted by name
// so that a completer can search it by prefix.
QStandardItemModel* FunctionModel(const std::vector<Function>& functions, QObject* parent);

// Adds one action per function to menu, sorted by name, each with its
// description as tooltip; choosing one calls insert with the name.
void FillInsertMenu(QMenu& menu, const std::vector<Function>& functions,
                    const std::function<void(const QString& name)>& insert);

} // namespace functioncatalog
