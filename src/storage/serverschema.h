#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

// What a register on a server has beyond the four tables: its schema version, the
// notice every change sends to the other seats, and the operators' role.
namespace orlu {

// The channel on which the server announces each committed change of a register table;
// the payload is the table's name in lower case.
inline constexpr char RegisterChangeChannel[] = "orlu_register";
// The role the seats log in with (or are members of): rights on the four tables only.
inline constexpr char OperatorRole[] = "orlu_operator";

// Statements that follow the tables in a new server register: the version table and the
// change notices.
QStringList serverRegisterSql();

// The register's schema version; 0 when the database holds no register.
int serverSchemaVersion(const QSqlDatabase &db);

enum class InitResult { Created, AlreadyThere, Upgraded, Failed };
// Creates the register in an empty server database in one transaction: tables, keys,
// list indexes, the version, change notices, and the operator role with its rights.
// A database that holds the register at this version is left exactly as it is; one of an
// earlier version gets what the later versions added.
InitResult initServerRegister(QSqlDatabase db, QString *error = nullptr);

} // namespace orlu
