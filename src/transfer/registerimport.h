#pragma once

#include "storage/copyprogress.h"
#include "transfer/sourcefile.h"

#include <QSqlDatabase>
#include <QStringList>

namespace orlu {

// Which kinds of data an import or export moves: "专家疗程数据" (KYPRO, KYPRDT)
// and "病历检测资料" (KYCUST, KYDATA).
struct TransferKinds {
    bool courses = false;
    bool records = false;
    bool any() const { return courses || records; }
};

enum class ImportMode { Append, Replace };

// The rows an export or import wrote: courses (`KYPRO`), subjects (`KYCUST`) and
// measurements (`KYDATA`); a course's conditions and a reading's quality go with them.
struct TransferCounts {
    qint64 courses = 0;
    qint64 subjects = 0;
    qint64 measurements = 0;
    // Adds `rows` written into `table`.
    void add(const QString &table, qint64 rows);
};

struct RegisterImportResult {
    bool ok = false;
    QString error;              // the cause when not ok
    int sqliteCode = 0;         // of a failed statement, 0 otherwise
    bool sourceRefused = false; // the source's own rows were refused (`error` says why)
    QStringList emptyKinds; // "专家疗程" / "病历检测": kinds skipped because the source had no rows
    TransferCounts counts;  // when ok
};

// Appends the chosen kinds of `source` to the main database in one transaction:
// either all of them arrive or the main database stays exactly as it was. A kind
// whose first table is empty in the source is skipped (and in replace mode its
// existing rows stay); in replace mode the existing rows of every other chosen kind
// are deleted first. Copies get new MKEY values.
RegisterImportResult importRegister(QSqlDatabase main, SourceFile &source, TransferKinds kinds,
                                    ImportMode mode, TransferObserver *observer);

} // namespace orlu
