#include "transfer/sourcefile.h"

#include "platform/privatefiles.h"
#include "storage/database.h"
#include "transfer/jetsource.h"
#include "transfer/sqlitesource.h"
#include "transfer/transfercolumns.h"

#include <QDir>

namespace orlu {

using namespace Qt::StringLiterals;

QString damagedSourceText(const QString &detail) {
    return u"来源档案无法完整读取，档案已损坏 !! (%1)"_s.arg(detail);
}

QString wrongColumnKindText(const QString &table, const QString &column) {
    return u"来源档案的数据表 %1 字段 %2 的类型不符 !!"_s.arg(table, column);
}

bool checkRegularSource(const QString &path, QString *error) {
    const PathKind kind = pathKind(path);
    if (kind == PathKind::Regular || kind == PathKind::Absent)
        return true;
    if (error)
        *error =
            u"来源 %1 不是一般的档案 (是装置、管道或目录)，无法汇入 !!"_s.arg(QDir::toNativeSeparators(path));
    return false;
}

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

std::unique_ptr<SourceFile> openSourceFile(const QString &path, const Clock &clock, QString *error) {
    if (!checkRegularSource(path, error))
        return nullptr;
    std::unique_ptr<SourceFile> source;
    if (isSqliteFile(path))
        source = SqliteSource::open(path, error);
    else
        source = JetSource::open(path, clock, error);
    if (source && !checkRegisterTables(*source, error))
        source.reset();
    return source;
}

} // namespace orlu
