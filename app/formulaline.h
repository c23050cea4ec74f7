// The formula line of the main window: a line edit that upper-cases what is
// typed in the Windows-1252 sense and hands its text over as the bytes the
// complex interpreter reads. It completes function names, offers them in its
// context menu and keeps the formulas drawn before, across runs.
#pragma once

#include <QLineEdit>
#include <QStringList>

#include "app/linehistory.h"

#include <memory>
#include <string>

class QCompleter;
class QSettings;

// The formula line: upper-cases what is typed (in the Windows-1252 sense),
// completes the function name at the cursor, goes through the formulas drawn
// before with Up and Down, and reports a click.
class FormulaLine : public QLineEdit {
    Q_OBJECT
  public:
    // The history holds at most this many formulas, the newest last.
    static constexpr int HistoryLimit = LineHistory::Limit;

    // The history is read from the user's settings (organisation and
    // application "Tessarel", the platform's usual place).
    explicit FormulaLine(QWidget* parent = nullptr);
    ~FormulaLine() override;
    // The text as the interpreter reads it.
    std::string FormulaBytes() const;
    // What the line makes of a text as it is typed.
    static QString UpperCased(const QString& text);

    // Puts the line's text at the end of the history (an earlier copy of it
    // goes) and stores the history; an empty text is not kept. The window
    // calls it when it draws a formula and when the program ends.
    void RememberFormula();
    const QStringList& History() const;
    // Inserts "NAME(" at the cursor, in place of a selection.
    void InsertFunction(const QString& name);
    // The completion list offered for the word at the cursor (hidden while
    // nothing fits).
    QCompleter* Completer() const;

  signals:
    void clicked();

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void onTextEdited(const QString& text);
    void offerCompletions();
    void complete(const QString& name);
    void stepHistory(int step);

    std::unique_ptr<QSettings> m_settings;
    LineHistory m_history; // of the formulas drawn
    QCompleter* m_completer = nullptr;
};
