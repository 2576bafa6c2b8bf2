#pragma once

#include <QString>

namespace orlu {

// Message box types: 1..3 ask yes/no (question, caution, important),
// 4..6 confirm with one button (question, caution, important), 7 tells that
// something was done, so a success neither asks nor looks like a failure.
enum class MessageType {
    AskQuestion = 1,
    AskCaution = 2,
    AskImportant = 3,
    NoteQuestion = 4,
    NoteCaution = 5,
    NoteError = 6,
    NoteDone = 7
};

// The answers to "save before going on?": "储存", "不储存", or "取消" (also a closed box).
enum class SaveChoice { Save, Discard, Stay };

// How procedures without a window ask and inform the operator. The window layer
// answers through the common message box; tests answer from a script.
class Prompter {
public:
    virtual ~Prompter() = default;
    // True for yes / confirmed, false for no or a closed box.
    virtual bool showMessageBox(MessageType type, const QString &text) = 0;
    // Asks whether to save work before it would be lost, with the three buttons of SaveChoice.
    virtual SaveChoice askToSave(const QString &text) = 0;
};

} // namespace orlu
