// The texts a line held when they were used, newest last: at most Limit,
// each once, kept across runs in the settings under a key of the line's own.
// Up and Down go through them; Down past the newest brings back what was
// being typed.
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class QSettings;

class LineHistory {
  public:
    static constexpr int Limit = 100;

    // Reads the texts kept under key; settings must outlive the history.
    LineHistory(QSettings& settings, QString key);

    // Puts text at the end (an earlier copy of it goes) and stores the list;
    // an empty text is not kept. The position goes back to the end.
    void Remember(const QString& text);
    // The text one step older (-1) or newer (+1) than the one shown, the line
    // now holding current; nothing when the step leaves the list.
    std::optional<QString> Step(int step, const QString& current);
    // The line is being typed in: the next step starts from the end.
    void Restart();
    const QStringList& Texts() const { return m_texts; }

  private:
    QSettings& m_settings;
    QString m_key;
    QStringList m_texts;
    // The entry shown; m_texts.size() while the line holds the text being
    // typed, which is kept in m_draft while an older entry is shown.
    qsizetype m_position = 0;
    QString m_draft;
};
