#include "transfer/sourcefile.h"

#include "storage/database.h"
#include "transfer/jetsource.h"
#include "transfer/sqlitesource.h"
#include "transfer/transfercolumns.h"

namespace orlu {

using namespace Qt::StringLiterals;

bool checkRegisterTables(const SourceFile &source, QString *error) {
    const QStringList present = source.tables();
    for (const QString &table : RecordTables + CourseTables) {
        if (!present.contains(table, Qt::CaseInsensitive)) {
            if (error)
                *error = u"来源档案缺少数据表 %1 !!"_s.arg(table);
            return false;
        }
        const QStringList missing = missingColumns(table, source.columns(table));
        if (!missing.isEmpty()) {
            if (error)
                *error = u"来源档案的数据表 %1 缺少字段 %2 !!"_s.arg(table, missing.join(u", "_s));
            return false;
        }
    }
    return true;
}

std::unique_ptr<SourceFile> openSourceFile(const QString &path, QString *error) {
    std::unique_ptr<SourceFile> source;
    if (isSqliteFile(path))
        source = SqliteSource::open(path, error);
    else
        source = JetSource::open(path, error);
    if (source && !checkRegisterTables(*source, error))
        source.reset();
    return source;
}

} // namespace orlu
