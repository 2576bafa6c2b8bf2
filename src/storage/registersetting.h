#pragma once

#include "core/programfolder.h"

#include <QString>

// Which register a seat uses. The register is the main database file of the program
// folder unless a server is named: by ORLU_DATABASE, or in "orlu-database.conf" in the
// program folder (the settings window's register tab writes it). Passwords never go
// into that file: the server's own password file or service file holds them.
namespace orlu {

inline const QString RegisterSettingFile = QStringLiteral("orlu-database.conf");

// The connection stored in the program folder; empty when none (the file register).
QString storedRegisterConnection(const ProgramFolder &folder, QString *error = nullptr);

// Stores a server connection, or removes the setting when `connection` is empty. Refuses
// anything but a readable server connection, and one that holds a password.
bool storeRegisterConnection(const ProgramFolder &folder, const QString &connection,
                             QString *error = nullptr);

// ORLU_DATABASE when set, else the stored connection, else the main database file.
QString registerLocation(const ProgramFolder &folder);

} // namespace orlu
