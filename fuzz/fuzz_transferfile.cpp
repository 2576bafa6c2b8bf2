// A transfer file of ours (SQLite) as the import takes it: opened and checked, then its
// rows appended to a register. Its promise: a refusal with a message and the register as it
// was, or every row arrived. Access files go to fuzz_jet.
#include "fuzzcheck.h"
#include "core/clock.h"
#include "storage/database.h"
#include "storage/schema.h"
#include "transfer/registerimport.h"
#include "transfer/transfercolumns.h"
#include "transfer/sourcefile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <cstdint>
#include <cstring>

using namespace orlu;
using namespace Qt::StringLiterals;

namespace {

QTemporaryDir *scratch;
QString emptyRegister;

qint64 rowsIn(QSqlDatabase db) {
    qint64 rows = 0;
    for (const QString &table : RecordTables + CourseTables) {
        QSqlQuery q(db);
        FUZZ_ASSERT(q.exec(u"SELECT count(*) FROM "_s + table) && q.next());
        rows += q.value(0).toLongLong();
    }
    return rows;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv) {
    static QCoreApplication app(*argc, *argv);
    scratch = new QTemporaryDir;
    emptyRegister = scratch->filePath(u"empty.mdb"_s);
    FUZZ_ASSERT(createDatabaseFile(emptyRegister, SchemaKind::Main));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, size_t size) {
    static const char sqlite[] = "SQLite format 3";
    if (size < sizeof sqlite || std::memcmp(data, sqlite, sizeof sqlite) != 0)
        return -1; // not kept in the corpus
    const QString path = scratch->filePath(u"KyTran.mdb"_s);
    const QString target = scratch->filePath(u"orlu4.mdb"_s);
    QFile::remove(path);
    QFile::remove(target);
    FUZZ_ASSERT(QFile::copy(emptyRegister, target));
    {
        QFile file(path);
        FUZZ_ASSERT(file.open(QIODevice::WriteOnly) &&
                    file.write(reinterpret_cast<const char *>(data), qint64(size)) == qint64(size));
    }
    const SystemClock clock;
    QString error;
    std::unique_ptr<SourceFile> source = openSourceFile(path, clock, &error);
    if (!source) {
        FUZZ_ASSERT(!error.isEmpty());
        return 0;
    }
    FUZZ_ASSERT(checkRegisterTables(*source, &error));
    qint64 offered = 0;
    for (const QString &table : RecordTables + CourseTables) {
        FUZZ_ASSERT(source->rowCount(table) >= 0);
        offered += source->rowCount(table);
    }
    Database main;
    FUZZ_ASSERT(main.open(target, Database::Access::Shared));
    const RegisterImportResult result =
        importRegister(main.handle(), *source, {true, true}, ImportMode::Append, nullptr);
    if (result.ok)
        FUZZ_ASSERT(rowsIn(main.handle()) == offered);
    else
        FUZZ_ASSERT(!result.error.isEmpty() && rowsIn(main.handle()) == 0);
    return 0;
}
