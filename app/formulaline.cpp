// The formula line: upper-casing while typing, the completion of function
// names, the insert menu, the history and the click report.
#include "app/formulaline.h"
#include "app/windowsupport.h"

#include "app/functioncatalog.h"
#include "text/cp1252.h"

#include <QCompleter>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSettings>
#include <QStandardItemModel>
#include <QTreeView>

#include <algorithm>
#include <memory>
#include <optional>

namespace {

const QString HistoryKey = QStringLiteral("formulaLine/history");

// The completer starts offering names from this many letters on: a single
// letter is mostly a variable (Z, Q, I) that Enter should draw at once.
constexpr int MinimumPrefix = 2;

std::unique_ptr<QSettings> UserSettings() {
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       QStringLiteral("Tessarel"), QStringLiteral("Tessarel"));
}

bool IsNameChar(QChar c) {
    return c.isLetterOrNumber();
}

// The word at position cursor of text: [start, cursor) is the part typed so
// far, [cursor, end) the rest of it. A word starts with a letter.
struct Word {
    qsizetype start;
    qsizetype end;
};

Word WordAt(const QString& text, qsizetype cursor) {
    qsizetype start = cursor;
    while (start > 0 && IsNameChar(text[start - 1])) --start;
    while (start < cursor && !text[start].isLetter()) ++start;
    qsizetype end = cursor;
    while (end < text.size() && IsNameChar(text[end])) ++end;
    return {start, end};
}

} // namespace

FormulaLine::FormulaLine(QWidget* parent)
    : QLineEdit(parent), m_settings(UserSettings()), m_history(*m_settings, HistoryKey) {
    connect(this, &QLineEdit::textEdited, this, &FormulaLine::onTextEdited);

    m_completer = new QCompleter(
        functioncatalog::FunctionModel(functioncatalog::ComplexFunctions(), this), this);
    m_completer->setWidget(this);
    m_completer->setCompletionMode(QCompleter::PopupCompletion);
    m_completer->setCaseSensitivity(Qt::CaseInsensitive);
    m_completer->setModelSorting(QCompleter::CaseInsensitivelySortedModel);
    m_completer->setMaxVisibleItems(10);
    // A two-column popup: the name and, beside it, what it computes.
    auto* popup = new QTreeView;
    popup->setHeaderHidden(true);
    popup->setRootIsDecorated(false);
    popup->setUniformRowHeights(true);
    m_completer->setPopup(popup);
    popup->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    connect(m_completer, qOverload<const QString&>(&QCompleter::activated), this,
            &FormulaLine::complete);
    popup->installEventFilter(this);
}

FormulaLine::~FormulaLine() = default;

std::string FormulaLine::FormulaBytes() const {
    return windowsupport::Bytes(text());
}

QString FormulaLine::UpperCased(const QString& text) {
    return QString::fromStdString(
        text::Cp1252ToUtf8(text::UpperCase1252(windowsupport::Bytes(text))));
}

void FormulaLine::RememberFormula() {
    m_history.Remember(text());
}

const QStringList& FormulaLine::History() const {
    return m_history.Texts();
}

void FormulaLine::InsertFunction(const QString& name) {
    insert(name + QLatin1Char('('));
    setFocus();
}

QCompleter* FormulaLine::Completer() const {
    return m_completer;
}

void FormulaLine::onTextEdited(const QString& typed) {
    const QString upper = UpperCased(typed);
    if (upper != typed) {
        const int cursor = cursorPosition();
        setText(upper);
        setCursorPosition(std::min(cursor, static_cast<int>(upper.size())));
    }
    m_history.Restart();
    offerCompletions();
}

// Offers the names that start with the word typed at the cursor; hides the
// list when there is no word, no name fits, or the word is the only fit.
void FormulaLine::offerCompletions() {
    const Word word = WordAt(text(), cursorPosition());
    const QString prefix = text().mid(word.start, cursorPosition() - word.start);
    QAbstractItemView* popup = m_completer->popup();
    if (prefix.size() < MinimumPrefix) {
        popup->hide();
        return;
    }
    m_completer->setCompletionPrefix(prefix);
    const int count = m_completer->completionCount();
    if (count == 0 || (count == 1 && m_completer->currentCompletion() == prefix)) {
        popup->hide();
        return;
    }
    popup->setCurrentIndex(m_completer->completionModel()->index(0, 0));
    // Name and description side by side, as wide as the line at most.
    const int width = popup->sizeHintForColumn(0) + popup->sizeHintForColumn(1) +
                      popup->verticalScrollBar()->sizeHint().width() + 2 * popup->frameWidth();
    QRect at = cursorRect();
    at.setWidth(std::min(width, std::max(this->width(), 320)));
    m_completer->complete(at);
}

// Replaces the word at the cursor with name and opens its bracket, unless one
// follows already.
void FormulaLine::complete(const QString& name) {
    const Word word = WordAt(text(), cursorPosition());
    const bool bracketFollows = word.end < text().size() && text()[word.end] == QLatin1Char('(');
    setSelection(static_cast<int>(word.start), static_cast<int>(word.end - word.start));
    insert(bracketFollows ? name : name + QLatin1Char('('));
    if (bracketFollows) setCursorPosition(cursorPosition() + 1);
}

void FormulaLine::stepHistory(int step) {
    if (const std::optional<QString> shown = m_history.Step(step, text())) setText(*shown);
}

void FormulaLine::keyPressEvent(QKeyEvent* event) {
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (plain && (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down)) {
        stepHistory(event->key() == Qt::Key_Up ? -1 : 1);
        return;
    }
    QLineEdit::keyPressEvent(event);
}

// While the list is open, Enter takes a name and Esc closes the list: the
// window's shortcuts for these keys (draw, quit) must not fire instead.
bool FormulaLine::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_completer->popup() && event->type() == QEvent::ShortcutOverride) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
            event->accept();
            return true;
        }
    }
    return QLineEdit::eventFilter(watched, event);
}

void FormulaLine::contextMenuEvent(QContextMenuEvent* event) {
    const std::unique_ptr<QMenu> menu(createStandardContextMenu());
    menu->addSeparator();
    QMenu* functions = menu->addMenu(QString::fromUtf8("Funktion &einfügen"));
    functioncatalog::FillInsertMenu(*functions, functioncatalog::ComplexFunctions(),
                                    [this](const QString& name) { InsertFunction(name); });
    menu->exec(event->globalPos());
}

void FormulaLine::mouseReleaseEvent(QMouseEvent* event) {
    QLineEdit::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}
