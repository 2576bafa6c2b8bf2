#pragma once

#include "storage/database.h"
#include "storage/schema.h"

#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QtTest>

// Real database files for the tests of the file housekeeping, the backups and
// the fault runs: each carries a marker (a course name) that tells the files
// apart, and optionally a register of its own.
namespace orlu::test {

// A main database at `path` whose course "marker" names it, with `subjects`
// subjects "<marker>-1".. and two measurements each.
inline bool makeMainDatabase(const QString &path, const QString &marker, int subjects = 0) {
    if (!createDatabaseFile(path, SchemaKind::Main))
        return false;
    Database db;
    if (!db.open(path, Database::Access::Shared))
        return false;
    QSqlQuery q(db.handle());
    q.prepare(QStringLiteral("INSERT INTO KYPRO (ProNo, ProName) VALUES ('M', ?)"));
    q.addBindValue(marker);
    if (!q.exec())
        return false;
    for (int i = 1; i <= subjects; ++i) {
        const QString number = marker.left(10) + u'-' + QString::number(i);
        q.prepare(QStringLiteral("INSERT INTO KYCUST (CUSTNO, NAME) VALUES (?, ?)"));
        q.addBindValue(number);
        q.addBindValue(marker);
        if (!q.exec())
            return false;
        for (int m = 0; m < 2; ++m) {
            q.prepare(QStringLiteral("INSERT INTO KYDATA (CUSTNO, KYDATE, KY1) VALUES (?, ?, ?)"));
            q.addBindValue(number);
            q.addBindValue(46000.0 + m);
            q.addBindValue(10.0 * i + m);
            if (!q.exec())
                return false;
        }
    }
    return true;
}

// The marker of a database file; empty when the path holds no readable database.
inline QString markerOf(const QString &path) {
    Database db;
    if (!db.open(path, Database::Access::ReadOnly))
        return {};
    QSqlQuery q(db.handle());
    if (!q.exec(QStringLiteral("SELECT ProName FROM KYPRO WHERE ProNo = 'M'")) || !q.next())
        return {};
    return q.value(0).toString();
}

// Every subject and measurement of a file, as "S:number" and "M:number/date/KY1" lines.
inline QStringList registerOf(const QString &path) {
    QStringList rows;
    Database db;
    if (!db.open(path, Database::Access::ReadOnly))
        return rows;
    QSqlQuery q(db.handle());
    q.exec(QStringLiteral("SELECT CUSTNO FROM KYCUST"));
    while (q.next())
        rows << QStringLiteral("S:") + q.value(0).toString();
    q.exec(QStringLiteral("SELECT CUSTNO, KYDATE, KY1 FROM KYDATA"));
    while (q.next())
        rows << QStringLiteral("M:") + q.value(0).toString() + u'/' + q.value(1).toString() + u'/' +
                    q.value(2).toString();
    return rows;
}

} // namespace orlu::test

namespace orlu::test {

// Overwrites the middle of the file's last pages, as a failing disk would: the
// schema on the first page still reads, the data pages do not.
inline void damagePages(const QString &path) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadWrite));
    const qint64 size = f.size();
    QVERIFY(size > 8 * 4096);
    for (qint64 at = size / 2; at < size - 4096; at += 4096) {
        f.seek(at + 8);
        f.write(QByteArray(1000, '\xa5'));
    }
}

} // namespace orlu::test
