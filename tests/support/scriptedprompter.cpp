#include "support/scriptedprompter.h"

#include <QStringList>

namespace orlu::test {

bool ScriptedPrompter::showMessageBox(MessageType type, const QString &text) {
    m_asked.append({type, text});
    return m_answers.isEmpty() ? m_fallback : m_answers.takeFirst();
}

SaveChoice ScriptedPrompter::askToSave(const QString &text) {
    m_asked.append({SaveQuestionType, text});
    if (!m_choices.isEmpty())
        return m_choices.takeFirst();
    return m_fallback ? SaveChoice::Discard : SaveChoice::Stay;
}

QStringList ScriptedPrompter::texts() const {
    QStringList out;
    for (const auto &m : m_asked)
        out << m.text;
    return out;
}

} // namespace orlu::test
