#pragma once

#include "core/prompter.h"

#include <QList>
#include <QString>

#include <optional>

namespace orlu::test {

// The type recorded for a save question: none, it is no message box type.
inline constexpr std::optional<MessageType> SaveQuestionType{};

struct AskedMessage {
    std::optional<MessageType> type;
    QString text;
};

// Answers message boxes from a queue of answers (default when empty: `fallback`)
// and records every box shown.
class ScriptedPrompter final : public Prompter {
public:
    explicit ScriptedPrompter(bool fallback = true)
        : m_fallback(fallback) {}

    bool showMessageBox(MessageType type, const QString &text) override;
    // Without a queued choice: "不储存" (go on) when the fallback is yes, else "取消".
    SaveChoice askToSave(const QString &text) override;

    void answer(bool a) { m_answers.append(a); }
    void answerSave(SaveChoice c) { m_choices.append(c); }
    const QList<AskedMessage> &asked() const { return m_asked; }
    QStringList texts() const;
    void clear() {
        m_asked.clear();
        m_answers.clear();
        m_choices.clear();
    }

private:
    bool m_fallback;
    QList<bool> m_answers;
    QList<SaveChoice> m_choices;
    QList<AskedMessage> m_asked;
};

} // namespace orlu::test
