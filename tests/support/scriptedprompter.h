#pragma once

#include "core/prompter.h"

#include <QList>
#include <QString>

namespace orlu::test {

struct AskedMessage {
    int type;
    QString text;
};

// Answers message boxes from a queue of answers (default when empty: `fallback`)
// and records every box shown.
class ScriptedPrompter final : public Prompter {
public:
    explicit ScriptedPrompter(bool fallback = true)
        : m_fallback(fallback) {}

    bool showMessageBox(MessageType type, const QString &text) override;

    void answer(bool a) { m_answers.append(a); }
    const QList<AskedMessage> &asked() const { return m_asked; }
    QStringList texts() const;
    void clear() {
        m_asked.clear();
        m_answers.clear();
    }

private:
    bool m_fallback;
    QList<bool> m_answers;
    QList<AskedMessage> m_asked;
};

} // namespace orlu::test
