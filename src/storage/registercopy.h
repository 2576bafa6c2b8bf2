#pragma once

#include "storage/copyprogress.h"
#include "storage/schema.h"

#include <QSqlDatabase>
#include <QString>

#include <array>

namespace orlu {

// Rows of the four register tables: KYCUST, KYDATA, KYPRO, KYPRDT.
using RegisterCounts = std::array<qint64, 4>;

// The rows of each register table; nullopt-like (all -1) when one cannot be counted.
RegisterCounts countRegister(const QSqlDatabase &db);

// Copies every row of the four tables, every column and its key, from one register to
// another that holds none yet (a file or a server, either way), in one transaction on
// the target. The copy is committed only when the target then holds exactly the source's
// counts; false with the reason otherwise, and the target is left empty.
bool copyRegister(const QSqlDatabase &from, QSqlDatabase to, RegisterCounts *copied = nullptr,
                  QString *error = nullptr);

// Reads from a server in one snapshot while it lives, so seats writing meanwhile cannot
// make the rows read and their counts disagree. A file needs none: its reader holds
// the file still.
class ReadSnapshot {
public:
    explicit ReadSnapshot(QSqlDatabase db);
    ~ReadSnapshot();
    ReadSnapshot(const ReadSnapshot &) = delete;
    ReadSnapshot &operator=(const ReadSnapshot &) = delete;

private:
    QSqlDatabase m_db;
    bool m_active = false;
};

// Appends every row of `table` in `from` to the same table of `to` (another connection,
// either back end), copying `columns`, each value brought to its column's type. Runs
// inside the caller's transaction on `to`; rows are read a slice at a time.
bool appendRowsAcross(const QSqlDatabase &from, QSqlDatabase to, const QString &table,
                      const QList<ColumnDef> &columns, CopyProgress *progress, QString *error = nullptr);

// Copies the whole register into a new register file at `path` (which must not exist);
// a failed copy leaves no file behind.
bool copyRegisterToNewFile(const QSqlDatabase &from, const QString &path, QString *error = nullptr);

} // namespace orlu
