#include "records/databasebackup.h"

#include "records/database.h"
#include "records/databasefiles.h"
#include "records/sqlcopy.h"

#include <QSqlQuery>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

QString freeName(const ProgramFolder &folder, const QDateTime &now) {
    const QString stem = u"orlu4-backup-"_s + now.toString(u"yyyyMMdd-HHmmss"_s);
    QString name = stem + u".mdb"_s;
    for (int n = 2; fileExists(folder.file(name)); ++n)
        name = u"%1-%2.mdb"_s.arg(stem).arg(n);
    return name;
}

bool copyIsWhole(const QString &path) {
    Database copy;
    if (!copy.open(path, Database::Access::ReadOnly))
        return false;
    QSqlQuery q(copy.handle());
    return q.exec(u"PRAGMA quick_check"_s) && q.next() && q.value(0).toString() == u"ok"_s;
}

} // namespace

QString backupMainDatabase(QSqlDatabase db, const ProgramFolder &folder, const QDateTime &now,
                           QString *error) {
    const QString name = freeName(folder, now);
    const QString path = folder.file(name);
    QSqlQuery q(db);
    q.prepare(u"VACUUM INTO ?"_s);
    q.addBindValue(path);
    bool ok = q.exec();
    if (!ok && error)
        *error = u"无法建立备份档案 %1: %2"_s.arg(name, sqlErrorText(q));
    q.finish();
    if (ok && !copyIsWhole(path)) {
        ok = false;
        if (error)
            *error = u"备份档案 %1 检查未通过"_s.arg(name);
    }
    if (!ok) {
        deleteDatabaseFile(path);
        return {};
    }
    return name;
}

} // namespace orlu
