#pragma once

#include "core/prompter.h"

#include <QList>
#include <QString>

namespace orlu {

struct AppContext;

// Preparing a run before the main window is used: the probe is looked for, the database
// files are upgraded, the register and the reference texts opened, the register's list
// indexes and sort keys brought up to date, the program-wide state reset and the settings
// read (or written new). It shows nothing; the window shows what it returns.
class Startup {
public:
    struct Message {
        MessageType type;
        QString text;
        // Also written to standard error, for a start with no one at the screen.
        bool toConsole = true;
    };
    struct Outcome {
        // In the order the operator is to see them.
        QList<Message> messages;
        // The program cannot run (not installed, a database that does not open).
        bool mustClose = false;
    };

    static Outcome prepare(AppContext &app);
};

} // namespace orlu
