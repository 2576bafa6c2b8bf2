#include "storage/startupdatabases.h"

#include "platform/privatefiles.h"
#include "storage/databasecheck.h"
#include "storage/registersetting.h"
#include "storage/schema.h"
#include "storage/serverconnection.h"
#include "storage/serverschema.h"

#include <QFileInfo>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

QString failureOf(const QString &path, const QString &reason) {
    return path + u"："_s + reason;
}

bool hasWriteBit(const QFileInfo &info) {
    return info.permissions() & (QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther);
}

} // namespace

QString readOnlyReason(const QString &path) {
    const QFileInfo info(path);
    if (!hasWriteBit(info) || !info.isWritable())
        return u"主数据库文件 %1 为只读"_s.arg(path);
    if (isReadOnlyFolder(info.absolutePath()))
        return u"文件夹 %1 为只读，无法写入数据库日志"_s.arg(info.absolutePath());
    return {};
}

MainDatabaseOpening openMainDatabase(Database &db, const QString &path, const QString &problem) {
    MainDatabaseOpening result;
    if (pathKind(path) == PathKind::Absent && !problem.isEmpty()) {
        result.failure = failureOf(path, problem);
        return result;
    }
    if (pathKind(path) == PathKind::Regular)
        result.readOnlyReason = readOnlyReason(path);
    bool opened = false;
    if (result.readOnlyReason.isEmpty()) {
        opened = db.open(path, Database::Access::Shared);
    } else {
        opened = db.open(path, Database::Access::ReadOnly) || db.open(path, Database::Access::Immutable);
    }
    if (!opened) {
        result.failure = failureOf(path, openFailureReason(path, db.lastError()));
        return result;
    }
    QSqlDatabase handle = db.handle();
    QString upgradeError;
    if (result.readOnlyReason.isEmpty() && !upgradeMainSchema(handle, &upgradeError)) {
        db.close();
        result.failure = failureOf(path, upgradeError);
        return result;
    }
    const QStringList findings = schemaFindings(handle, SchemaKind::Main);
    if (!findings.isEmpty()) {
        db.close();
        result.failure = failureOf(path, u"数据库已损坏：%1"_s.arg(findings.join(u"；"_s)));
        return result;
    }
    result.opened = true;
    return result;
}

MainDatabaseOpening openServerRegister(Database &db, const QString &connection) {
    MainDatabaseOpening result;
    result.onServer = true;
    QString error;
    if (!db.openServer(connection, &error)) {
        result.failure = serverUnreachableText() + u'\n' + error;
        return result;
    }
    QStringList findings;
    if (serverSchemaVersion(db.handle()) != SchemaVersion)
        findings << u"服务器上的数据库没有本程序的数据表 (请先执行 orlu-cli db init)"_s;
    else
        findings = schemaFindings(db.handle(), SchemaKind::Main);
    if (!findings.isEmpty()) {
        result.failure = failureOf(db.path(), findings.join(u"；"_s));
        db.close();
        return result;
    }
    result.opened = true;
    return result;
}

MainDatabaseOpening openFolderRegister(Database &db, const ProgramFolder &folder, const QString &problem) {
    const QString where = registerLocation(folder);
    return isServerConnection(where) ? openServerRegister(db, where) : openMainDatabase(db, where, problem);
}

QString openReferenceTexts(Database &db, const QString &path) {
    if (!db.open(path, Database::Access::ReadOnly) && !db.open(path, Database::Access::Immutable))
        return failureOf(path, openFailureReason(path, db.lastError()));
    const QStringList findings = schemaFindings(db.handle(), SchemaKind::ReferenceTexts);
    if (!findings.isEmpty()) {
        db.close();
        return failureOf(path, u"数据库已损坏：%1"_s.arg(findings.join(u"；"_s)));
    }
    return {};
}

} // namespace orlu
