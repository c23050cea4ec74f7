// A line's history of used texts.
#include "app/linehistory.h"

#include <QSettings>

#include <algorithm>

LineHistory::LineHistory(QSettings& settings, QString key)
    : m_settings(settings), m_key(std::move(key)) {
    m_texts = m_settings.value(m_key).toStringList();
    if (m_texts.size() > Limit) m_texts.remove(0, m_texts.size() - Limit);
    m_position = m_texts.size();
}

void LineHistory::Remember(const QString& text) {
    if (!text.isEmpty()) {
        m_texts.removeAll(text);
        m_texts.append(text);
        if (m_texts.size() > Limit) m_texts.remove(0, m_texts.size() - Limit);
        // Written out when the event loop is idle, at the latest when the
        // settings go.
        m_settings.setValue(m_key, m_texts);
    }
    Restart();
}

std::optional<QString> LineHistory::Step(int step, const QString& current) {
    const qsizetype target = std::clamp<qsizetype>(m_position + step, 0, m_texts.size());
    if (target == m_position) return std::nullopt;
    if (m_position == m_texts.size()) m_draft = current;
    m_position = target;
    return target == m_texts.size() ? m_draft : m_texts[target];
}

void LineHistory::Restart() {
    m_position = m_texts.size();
    m_draft.clear();
}
