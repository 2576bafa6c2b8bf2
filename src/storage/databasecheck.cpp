#include "storage/databasecheck.h"

#include "platform/privatefiles.h"
#include "storage/database.h"

#include <QSet>
#include <QSqlQuery>

namespace orlu {

using namespace Qt::StringLiterals;

QStringList schemaFindings(QSqlDatabase db, SchemaKind kind) {
    QStringList findings;
    for (const TableDef &table : tablesOf(kind)) {
        const QString name = QString::fromLatin1(table.name);
        QSqlQuery q(db);
        q.prepare(SqlDialect::of(db).tableColumnsQuery());
        q.addBindValue(name);
        if (!q.exec()) {
            findings << u"无法读取数据表 %1：%2"_s.arg(name, q.lastError().text());
            continue;
        }
        QSet<QString> present;
        while (q.next())
            present.insert(q.value(0).toString().toUpper());
        if (present.isEmpty() && table.optional)
            continue;
        if (present.isEmpty()) {
            findings << u"缺少数据表 %1"_s.arg(name);
            continue;
        }
        QStringList missing;
        for (const QString &column : columnNames(table)) {
            if (!present.contains(column.toUpper()))
                missing << column;
        }
        if (!missing.isEmpty())
            findings << u"数据表 %1 缺少字段 %2"_s.arg(name, missing.join(u", "_s));
    }
    return findings;
}

QStringList pageFindings(QSqlDatabase db, PageCheck depth, int limit) {
    if (depth == PageCheck::None)
        return {};
    QSqlQuery q(db);
    const QString pragma = depth == PageCheck::Quick ? u"quick_check"_s : u"integrity_check"_s;
    if (!q.exec(u"PRAGMA %1(%2)"_s.arg(pragma).arg(limit)))
        return {u"数据库已损坏：%1"_s.arg(q.lastError().text())};
    QStringList findings;
    while (q.next()) {
        const QString line = q.value(0).toString();
        if (line != u"ok"_s)
            findings << u"数据库已损坏：%1"_s.arg(line);
    }
    if (q.lastError().isValid())
        findings << u"数据库已损坏：%1"_s.arg(q.lastError().text());
    return findings;
}

QStringList checkDatabaseFile(const QString &path, SchemaKind kind, PageCheck depth) {
    if (pathKind(path) != PathKind::Regular || !isSqliteFile(path))
        return {openFailureReason(path, QSqlError())};
    Database db;
    if (!db.open(path, Database::Access::ReadOnly))
        return {openFailureReason(path, db.lastError())};
    QStringList findings = schemaFindings(db.handle(), kind);
    findings += pageFindings(db.handle(), depth);
    return findings;
}

qint64 registerRowCount(QSqlDatabase db) {
    QSqlQuery q(db);
    if (!q.exec(u"SELECT (SELECT count(*) FROM KYCUST) + (SELECT count(*) FROM KYDATA)"_s) || !q.next())
        return -1;
    return q.value(0).toLongLong();
}

qint64 registerRowCount(const QString &path) {
    Database db;
    if (!db.open(path, Database::Access::ReadOnly))
        return -1;
    return registerRowCount(db.handle());
}

QString openFailureReason(const QString &path, const QSqlError &engineError) {
    switch (pathKind(path)) {
    case PathKind::Absent:
        return u"文件不存在"_s;
    case PathKind::Regular:
        break;
    default:
        return u"不是普通文件"_s;
    }
    switch (sqliteFileHead(path)) {
    case FileHead::Unreadable:
        return u"没有读取权限"_s;
    case FileHead::NotSqlite:
        return u"不是数据库文件"_s;
    case FileHead::Sqlite:
        break;
    }
    // SQLite's primary result codes: 5 busy, 6 locked, 11 corrupt, 26 not a database, 14 cannot open.
    const int code = engineError.nativeErrorCode().toInt() & 0xff;
    switch (code) {
    case 5:
    case 6:
        return u"数据库被另一程序锁定"_s;
    case 14:
        return u"无法打开（文件夹不可写或没有权限）"_s;
    case 11:
    case 26:
        return u"数据库已损坏"_s;
    default:
        break;
    }
    return engineError.isValid() ? u"数据库已损坏：%1"_s.arg(engineError.text()) : u"数据库已损坏"_s;
}

} // namespace orlu
