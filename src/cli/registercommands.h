#pragma once

#include <QStringList>
#include <QTextStream>

// The commands that look after the register's files:
//   check [--home DIR]                  integrity and tables of every database of the folder
//   backup [--home DIR] [--to FILE]     a checked copy of the main database
//   restore [--home DIR] --from FILE    put a checked copy back, keeping the replaced file
namespace orlu {

int runCheckCommand(const QStringList &args, QTextStream &out, QTextStream &err);
int runBackupCommand(const QStringList &args, QTextStream &out, QTextStream &err);
int runRestoreCommand(const QStringList &args, QTextStream &out, QTextStream &err);

} // namespace orlu
