#include "storage/sqlcopy.h"

#include <QSqlError>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QStringList>
#include <QUrl>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

constexpr qint64 SliceRows = 4000;

QString selectExpression(const ColumnDef &c) {
    const QString name = QString::fromLatin1(c.name);
    switch (c.type) {
    case ColumnDef::Text:
    case ColumnDef::Memo:
        return u"CAST(%1 AS TEXT)"_s.arg(name);
    case ColumnDef::Boolean:
    case ColumnDef::Integer:
        return u"coalesce(CAST(%1 AS INTEGER), 0)"_s.arg(name);
    case ColumnDef::DateTime:
    case ColumnDef::Float:
        return u"coalesce(CAST(%1 AS REAL), 0)"_s.arg(name);
    case ColumnDef::Blob:
    case ColumnDef::AutoKey:
        break;
    }
    return name;
}

bool fail(QString *error, const QSqlQuery &q) {
    if (error)
        *error = sqlErrorText(q);
    return false;
}

} // namespace

QString sqlErrorText(const QSqlQuery &query) {
    const QSqlError e = query.lastError();
    return u"%1 (%2)"_s.arg(e.databaseText(), e.nativeErrorCode());
}

int sqliteCodeOf(const QString &errorText) {
    static const QRegularExpression code(u"\\((\\d+)\\)$"_s);
    const QRegularExpressionMatch m = code.match(errorText);
    return m.hasMatch() ? m.captured(1).toInt() : 0;
}

qint64 countRows(QSqlDatabase db, const QString &schema, const QString &table) {
    QSqlQuery q(db);
    const QString from = schema.isEmpty() ? table : schema + u'.' + table;
    if (!q.exec(u"SELECT count(*) FROM "_s + from) || !q.next())
        return 0;
    return q.value(0).toLongLong();
}

bool appendRowsBySql(QSqlDatabase db, const QString &fromSchema, const QString &toSchema,
                     const QString &table, const QList<ColumnDef> &columns, CopyProgress &progress,
                     QString *error) {
    QStringList names;
    QStringList values;
    for (const ColumnDef &c : columns) {
        names << QString::fromLatin1(c.name);
        values << selectExpression(c);
    }
    QSqlQuery range(db);
    if (!range.exec(u"SELECT min(rowid), max(rowid) FROM %1.%2"_s.arg(fromSchema, table)) || !range.next())
        return fail(error, range);
    if (range.value(0).isNull())
        return true; // no rows
    const qint64 first = range.value(0).toLongLong();
    const qint64 last = range.value(1).toLongLong();
    range.finish();

    // Slices end at the rowid SliceRows rows on, so sparse keys cannot make many empty slices.
    QSqlQuery sliceEnd(db);
    if (!sliceEnd.prepare(u"SELECT rowid FROM %1.%2 WHERE rowid >= ? ORDER BY rowid LIMIT 1 OFFSET %3"_s.arg(
            fromSchema, table, QString::number(SliceRows - 1))))
        return fail(error, sliceEnd);
    QSqlQuery insert(db);
    const QString sql =
        u"INSERT INTO %1.%2 (%3) SELECT %4 FROM %5.%2 WHERE rowid BETWEEN ? AND ? ORDER BY rowid"_s.arg(
            toSchema, table, names.join(u", "_s), values.join(u", "_s), fromSchema);
    if (!insert.prepare(sql))
        return fail(error, insert);
    for (qint64 from = first;;) {
        sliceEnd.bindValue(0, from);
        if (!sliceEnd.exec())
            return fail(error, sliceEnd);
        const qint64 to = sliceEnd.next() ? sliceEnd.value(0).toLongLong() : last;
        sliceEnd.finish();
        insert.bindValue(0, from);
        insert.bindValue(1, to);
        if (!insert.exec())
            return fail(error, insert);
        progress.advance(insert.numRowsAffected());
        if (to >= last)
            break;
        from = to + 1;
    }
    return true;
}

bool attachFile(QSqlDatabase db, const QString &path, const QString &schema, bool readOnly, QString *error) {
    QString uri = u"file:"_s + QString::fromLatin1(QUrl::toPercentEncoding(path, "/"));
    if (readOnly)
        uri += u"?mode=ro"_s;
    QSqlQuery q(db);
    q.prepare(u"ATTACH DATABASE ? AS %1"_s.arg(schema));
    q.addBindValue(uri);
    if (!q.exec())
        return fail(error, q);
    return true;
}

void detachFile(QSqlDatabase db, const QString &schema) {
    QSqlQuery(db).exec(u"DETACH DATABASE %1"_s.arg(schema));
}

} // namespace orlu
