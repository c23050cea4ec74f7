// The two languages' function lists, read from the interpreters' tables.
#include "app/functioncatalog.h"

#include "complexformula/keywords.h"
#include "realformula/descriptions.h"

#include <QMenu>
#include <QStandardItemModel>

#include <algorithm>
#include <string_view>

namespace functioncatalog {

namespace {

QString FromView(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

std::vector<Function> SortedByName(std::vector<Function> functions) {
    std::ranges::sort(functions, {}, &Function::name);
    return functions;
}

} // namespace

std::vector<Function> ComplexFunctions() {
    std::vector<Function> functions;
    for (const cformula::KeywordDescription& d : cformula::ComplexKeywordDescriptions())
        if (d.kind == cformula::KeywordDescription::Function)
            functions.push_back({FromView(d.name), FromView(d.description), d.added});
    return functions;
}

std::vector<Function> RealFunctions() {
    std::vector<Function> functions;
    for (const RealFunctionDescription& d : RealFunctionDescriptions())
        functions.push_back({FromView(d.name), FromView(d.description), false});
    return functions;
}

QStandardItemModel* FunctionModel(const std::vector<Function>& functions, QObject* parent) {
    auto* model = new QStandardItemModel(0, 2, parent);
    for (const Function& f : SortedByName(functions)) {
        auto* name = new QStandardItem(f.name);
        name->setToolTip(f.description);
        auto* description = new QStandardItem(f.description);
        for (QStandardItem* item : {name, description}) item->setEditable(false);
        model->appendRow({name, description});
    }
    return model;
}

void FillInsertMenu(QMenu& menu, const std::vector<Function>& functions,
                    const std::function<void(const QString& name)>& insert) {
    menu.setToolTipsVisible(true);
    for (const Function& f : SortedByName(functions)) {
        QAction* action = menu.addAction(f.name);
        action->setToolTip(f.description);
        QObject::connect(action, &QAction::triggered, &menu,
                         [insert, name = f.name] { insert(name); });
    }
}

} // namespace functioncatalog
