#pragma once

#include <QString>

namespace orlu {

// Message box types: 1..3 ask yes/no (question, caution, important),
// 4..6 confirm with one button (question, caution, important).
enum MessageType {
    AskQuestion = 1,
    AskCaution = 2,
    AskImportant = 3,
    NoteQuestion = 4,
    NoteCaution = 5,
    NoteError = 6
};

// How procedures without a window ask and inform the operator. The window layer
// answers through the common message box; tests answer from a script.
class Prompter {
public:
    virtual ~Prompter() = default;
    // True for yes / confirmed, false for no or a closed box.
    virtual bool showMessageBox(MessageType type, const QString &text) = 0;
};

} // namespace orlu
