#include "transferfixture.h"

#include "records/schema.h"

#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QtTest>

namespace orlu::test {

using namespace Qt::StringLiterals;

void makeRegisterFile(const QString &path) {
    static QTemporaryDir dir;
    static const QString made = [] {
        const QString p = dir.filePath(u"register.mdb"_s);
        QString error;
        if (!createDatabaseFile(p, SchemaKind::Main, &error))
            qFatal("cannot create a register file: %s", qPrintable(error));
        return p;
    }();
    QFile::remove(path);
    if (!QFile::copy(made, path) || !QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner))
        qFatal("cannot copy a register file to %s", qPrintable(path));
}

qint64 insertRow(QSqlDatabase db, const QString &table, const QVariantMap &values) {
    QStringList marks;
    for (qsizetype i = 0; i < values.size(); ++i)
        marks << u"?"_s;
    QSqlQuery q(db);
    q.prepare(
        u"INSERT INTO %1 (%2) VALUES (%3)"_s.arg(table, values.keys().join(u", "_s), marks.join(u", "_s)));
    for (const QVariant &v : values)
        q.addBindValue(v);
    if (!q.exec())
        qFatal("insertRow %s: %s", qPrintable(table), qPrintable(q.lastError().text()));
    return q.lastInsertId().toLongLong();
}

QString tableDigest(QSqlDatabase db, const QString &table) {
    QSqlQuery q(db);
    if (!q.exec(u"SELECT * FROM %1 ORDER BY rowid"_s.arg(table)))
        return u"<"_s + q.lastError().text() + u'>';
    QStringList rows;
    while (q.next()) {
        QStringList cells;
        for (int i = 0; i < q.record().count(); ++i)
            cells << q.value(i).toString();
        rows << cells.join(u'|');
    }
    return table + u":\n"_s + rows.join(u'\n');
}

QString registerDigest(QSqlDatabase db) {
    return tableDigest(db, u"KYCUST"_s) + tableDigest(db, u"KYDATA"_s) + tableDigest(db, u"KYPRO"_s) +
           tableDigest(db, u"KYPRDT"_s);
}

OpenFile::OpenFile(const QString &path) {
    QString error;
    const bool opened =
        QFile::exists(path) ? m_db.open(path, Database::Access::Shared, &error) : m_db.create(path, &error);
    if (!opened)
        qFatal("cannot open %s: %s", qPrintable(path), qPrintable(error));
    // Like a transfer file: one file, no write-ahead log beside it.
    exec(u"PRAGMA journal_mode=DELETE"_s);
}

void OpenFile::exec(const QString &sql) const {
    QSqlQuery q(db());
    if (!q.exec(sql))
        qFatal("%s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
}

} // namespace orlu::test
