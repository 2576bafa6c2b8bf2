#include "transferfixture.h"

#include "storage/schema.h"
#include "storage/sqldialect.h"
#include "transfer/jetreaderrun.h"

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

namespace {

// The kind of a register column; Text for a column the register does not have.
ColumnDef::Type typeOf(const QString &table, const QString &column) {
    for (const TableDef &t : tablesOf(SchemaKind::Main)) {
        if (table.compare(QLatin1StringView(t.name), Qt::CaseInsensitive) != 0)
            continue;
        for (const ColumnDef &c : t.columns) {
            if (column.compare(QLatin1StringView(c.name), Qt::CaseInsensitive) == 0)
                return c.type;
        }
    }
    return ColumnDef::Text;
}

} // namespace

qint64 insertRow(QSqlDatabase db, const QString &table, const QVariantMap &values) {
    QStringList marks;
    for (qsizetype i = 0; i < values.size(); ++i)
        marks << u"?"_s;
    QSqlQuery q(db);
    q.prepare(
        u"INSERT INTO %1 (%2) VALUES (%3)"_s.arg(table, values.keys().join(u", "_s), marks.join(u", "_s)));
    // A server takes a flag as a boolean only; a file takes either.
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        q.addBindValue(typeOf(table, it.key()) == ColumnDef::Boolean ? QVariant(it.value().toBool())
                                                                     : it.value());
    if (!q.exec())
        qFatal("insertRow %s: %s", qPrintable(table), qPrintable(q.lastError().text()));
    return q.lastInsertId().toLongLong();
}

QString tableDigest(QSqlDatabase db, const QString &table) {
    QSqlQuery q(db);
    const QString order = SqlDialect::of(db).isServer() ? u"MKEY"_s : u"rowid"_s;
    if (!q.exec(u"SELECT * FROM %1 ORDER BY %2"_s.arg(table, order)))
        return u"<"_s + q.lastError().text() + u'>';
    QStringList rows;
    while (q.next()) {
        QStringList cells;
        // Alike on both back ends: flags as 0/1, numbers in full.
        for (int i = 0; i < q.record().count(); ++i) {
            const QVariant v = q.value(i);
            switch (v.isNull() ? ColumnDef::Text : typeOf(table, q.record().fieldName(i))) {
            case ColumnDef::Boolean:
                cells << QString::number(int(v.toBool()));
                break;
            case ColumnDef::Float:
            case ColumnDef::DateTime:
                cells << QString::number(v.toDouble(), 'g', 17);
                break;
            default:
                cells << v.toString();
            }
        }
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

FakeJetReader::FakeJetReader(const QByteArray &body) {
    const QString path = m_dir.filePath(u"orlu-jet-reader"_s);
    QFile script(path);
    if (!script.open(QIODevice::WriteOnly) || script.write("#!/bin/sh\n" + body + "\n") < 0)
        qFatal("cannot write a stand-in reader");
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
    setJetReaderProgram(path);
}

FakeJetReader::~FakeJetReader() {
    setJetReaderProgram({});
}

} // namespace orlu::test
