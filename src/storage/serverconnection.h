#pragma once

#include <QList>
#include <QPair>
#include <QString>

#include <optional>

// Where the register lives: a database file (the default) or a server, named the
// way the server's own client library names one: a "postgresql://" URI or
// keyword=value pairs such as "service=NAME" (resolved through pg_service.conf).
namespace orlu {

// Seconds the program waits for a server before it says that the server cannot be reached.
inline constexpr int ServerConnectTimeout = 5;

// True when `setting` names a server rather than a file.
bool isServerConnection(const QString &setting);

using ConnectionOptions = QList<QPair<QString, QString>>;

// The keyword=value options of a server connection, in order, with percent-escapes of a
// URI decoded. Nothing else is added. nullopt (and the reason) when it cannot be read.
std::optional<ConnectionOptions> parseServerConnection(const QString &setting, QString *error = nullptr);

// The options as one keyword='value' string, with the connection timeout added unless given.
QString connectOptionsString(const ConnectionOptions &options);

// The connection for messages and the settings window: every option but a password.
QString describeServerConnection(const ConnectionOptions &options);

bool hasPassword(const ConnectionOptions &options);

} // namespace orlu
