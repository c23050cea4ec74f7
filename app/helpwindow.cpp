// The help window: a filter field over four pages; the two language pages
// pair their prose with the function list of the interpreter's table.
#include "app/helpwindow.h"

#include "app/functioncatalog.h"
#include "app/helptexts.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

QTextBrowser* Prose(const QString& html) {
    auto* browser = new QTextBrowser;
    browser->setHtml(html);
    browser->setOpenLinks(false);
    return browser;
}

// Name, what it computes with its domain, and "ergänzt" for the additions.
QTreeWidget* FunctionList(const std::vector<functioncatalog::Function>& functions) {
    auto* list = new QTreeWidget;
    list->setColumnCount(3);
    list->setHeaderLabels({QStringLiteral("Funktion"),
                           QString::fromUtf8("Bedeutung und Definitionsbereich"),
                           QString::fromUtf8("Herkunft")});
    list->setRootIsDecorated(false);
    list->setWordWrap(true); // a long description wraps in its column
    for (const functioncatalog::Function& f : functions) {
        auto* item = new QTreeWidgetItem(
            list, {f.name, f.description, f.addition ? QString::fromUtf8("ergänzt") : QString()});
        item->setToolTip(1, f.description);
    }
    list->header()->setStretchLastSection(false);
    list->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    list->header()->setSectionResizeMode(1, QHeaderView::Stretch);
    list->header()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
    return list;
}

QWidget* LanguagePage(const QString& html, QTreeWidget* list) {
    auto* splitter = new QSplitter(Qt::Vertical);
    splitter->addWidget(Prose(html));
    splitter->addWidget(list);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 1);
    return splitter;
}

// Hides the rows whose name and description both lack filter; the count shown.
int Narrow(QTreeWidget& list, const QString& filter) {
    int shown = 0;
    for (int k = 0; k < list.topLevelItemCount(); ++k) {
        QTreeWidgetItem* item = list.topLevelItem(k);
        const bool fits = item->text(0).contains(filter, Qt::CaseInsensitive) ||
                          item->text(1).contains(filter, Qt::CaseInsensitive);
        item->setHidden(!fits);
        shown += fits ? 1 : 0;
    }
    return shown;
}

} // namespace

HelpWindow::HelpWindow(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QString::fromUtf8("Tessarel – Hilfe"));
    setObjectName(QStringLiteral("helpWindow"));

    m_filterField = new QLineEdit;
    m_filterField->setPlaceholderText(
        QString::fromUtf8("Funktion suchen (Name oder Beschreibung, z. B. »zeta«)"));
    m_filterField->setClearButtonEnabled(true);

    m_complexList = FunctionList(functioncatalog::ComplexFunctions());
    m_realList = FunctionList(functioncatalog::RealFunctions());
    m_pages = new QTabWidget;
    m_pages->addTab(LanguagePage(helptexts::FormulaLineLanguage(), m_complexList),
                    QStringLiteral("Formelzeile (komplex)"));
    m_pages->addTab(LanguagePage(helptexts::IntervalFieldLanguage(), m_realList),
                    QStringLiteral("Intervallfelder (reell)"));
    m_pages->addTab(Prose(helptexts::KeysAndMouse()), QStringLiteral("Tasten und Maus"));
    m_pages->addTab(Prose(helptexts::About()), QString::fromUtf8("Über Tessarel"));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    buttons->button(QDialogButtonBox::Close)->setText(QString::fromUtf8("Schließen"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_filterField);
    layout->addWidget(m_pages);
    layout->addWidget(buttons);
    resize(780, 640);

    connect(m_filterField, &QLineEdit::textChanged, this, &HelpWindow::applyFilter);
}

void HelpWindow::ShowPage(Page page) {
    m_pages->setCurrentIndex(static_cast<int>(page));
    show();
    raise();
    activateWindow();
    m_filterField->setFocus();
}

QLineEdit* HelpWindow::FilterField() const {
    return m_filterField;
}

QStringList HelpWindow::VisibleFunctions() const {
    QStringList names;
    for (const QTreeWidget* list : {m_complexList, m_realList})
        for (int k = 0; k < list->topLevelItemCount(); ++k)
            if (!list->topLevelItem(k)->isHidden()) names << list->topLevelItem(k)->text(0);
    return names;
}

// Narrows both lists; when the page shown has no list with a match, the first
// language page with one comes to the front.
void HelpWindow::applyFilter(const QString& filter) {
    const QString wanted = filter.trimmed();
    const int complexShown = Narrow(*m_complexList, wanted);
    const int realShown = Narrow(*m_realList, wanted);
    if (wanted.isEmpty()) return;
    const int page = m_pages->currentIndex();
    const bool shownHasMatch = (page == static_cast<int>(Page::FormulaLine) && complexShown > 0) ||
                               (page == static_cast<int>(Page::IntervalFields) && realShown > 0);
    if (shownHasMatch) return;
    if (complexShown > 0)
        m_pages->setCurrentIndex(static_cast<int>(Page::FormulaLine));
    else if (realShown > 0)
        m_pages->setCurrentIndex(static_cast<int>(Page::IntervalFields));
}
