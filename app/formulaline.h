// The formula line of the main window: a line edit that upper-cases what is
// typed in the Windows-1252 sense and hands its text over as the bytes the
// complex interpreter reads.
#pragma once

#include <QLineEdit>

#include <string>

// The formula line: upper-cases what is typed (in the Windows-1252 sense) and
// reports a click.
class FormulaLine : public QLineEdit {
    Q_OBJECT
  public:
    explicit FormulaLine(QWidget* parent = nullptr);
    // The text as the interpreter reads it.
    std::string FormulaBytes() const;
    // What the line makes of a text as it is typed.
    static QString UpperCased(const QString& text);

  signals:
    void clicked();

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    void onTextEdited(const QString& text);
};
