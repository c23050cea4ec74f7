// The German help window: the two formula languages with their function lists
// (from the interpreters' tables, narrowed by a filter field), the keys and
// mouse actions, and "Über Tessarel" with the version.
#pragma once

#include <QDialog>
#include <QStringList>

class QLineEdit;
class QTabWidget;
class QTreeWidget;

class HelpWindow : public QDialog {
    Q_OBJECT
  public:
    enum class Page { FormulaLine, IntervalFields, Keys, About };

    explicit HelpWindow(QWidget* parent = nullptr);
    // Shows the window at page, in front, with the filter field focused.
    void ShowPage(Page page);
    QLineEdit* FilterField() const;
    // The names the function lists show under the current filter, the formula
    // line's first.
    QStringList VisibleFunctions() const;

  private:
    void applyFilter(const QString& filter);

    QLineEdit* m_filterField = nullptr;
    QTabWidget* m_pages = nullptr;
    QTreeWidget* m_complexList = nullptr;
    QTreeWidget* m_realList = nullptr;
};
