#pragma once

#include "core/clock.h"
#include "storage/copyprogress.h"
#include "storage/schema.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include <memory>

// A file that register rows are taken from: a transfer file or the database of an
// earlier installation, either one of our own SQLite files or an Access (Jet 3 or
// Jet 4) file an installation on Windows left. It is opened read-only and checked
// before anything is copied from it; what to copy is decided once, by the column
// mapping of the register tables.
namespace orlu {

class SourceFile {
public:
    virtual ~SourceFile() = default;

    virtual QStringList tables() const = 0;
    // Column names of a table the file holds.
    virtual QStringList columns(const QString &table) const = 0;
    virtual qint64 rowCount(const QString &table) const = 0;

    // Appends every row of `table` to the same table of `target`, copying `columns`,
    // inside the transaction the caller holds on `target`.
    virtual bool appendTo(QSqlDatabase target, const QString &table, const QList<ColumnDef> &columns,
                          CopyProgress &progress, QString *error) = 0;

    // After every measurement was appended to `target` (new keys above `keysAbove`):
    // the rows beside them (storage/siderows.h), which only our own newer files carry.
    virtual bool appendSideRowsTo(QSqlDatabase target, qint64 keysAbove, QString *error) {
        Q_UNUSED(target);
        Q_UNUSED(keysAbove);
        Q_UNUSED(error);
        return true;
    }

    // Called on `target` before its transaction begins and after it ends.
    virtual bool connect(QSqlDatabase target, QString *error) = 0;
    virtual void disconnect(QSqlDatabase target) = 0;

    // After a failed appendTo(): true when the source's own rows were refused (a
    // damaged file, a reading that breaks the rule), not the target's writing.
    bool refusedItsRows() const { return m_refusedRows; }

protected:
    bool m_refusedRows = false;
};

// Opens `path` as whichever kind of source it is and checks it holds the four
// register tables with the columns a copy needs. On failure returns null and sets
// `error` to a message for the operator. An Access file's reader is timed on `clock`.
std::unique_ptr<SourceFile> openSourceFile(const QString &path, const Clock &clock, QString *error);

// The operator's message for a source that cannot be read whole.
QString damagedSourceText(const QString &detail);
// The operator's message for a register column whose kind in the source is not its own.
QString wrongColumnKindText(const QString &table, const QString &column);

// A source must be a regular file (or a link to one): a device or a pipe would be read
// without end or never. True, also, for a path that does not exist (the copy says so).
bool checkRegularSource(const QString &path, QString *error);

// The check every kind of source passes: the four tables, each with the columns a
// copy needs (the two groups an older file may lack excepted).
bool checkRegisterTables(const SourceFile &source, QString *error);

} // namespace orlu
