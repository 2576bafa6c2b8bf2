#include "storage/databasefiles.h"

#include "core/prompter.h"
#include "platform/privatefiles.h"
#include "storage/database.h"
#include "storage/databasecheck.h"
#include "storage/registeridentity.h"

#include <QFile>
#include <QFileInfo>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {
const QStringList Companions{u"-wal"_s, u"-shm"_s, u"-journal"_s};
}

bool fileExists(const QString &path) {
    return QFileInfo(path).isFile();
}

bool renameDatabaseFile(const QString &from, const QString &to) {
    if (!fileExists(from) || QFileInfo::exists(to))
        return false;
    for (const QString &c : Companions) {
        if (QFileInfo::exists(to + c))
            return false;
    }
    if (!QFile::rename(from, to))
        return false;
    for (const QString &c : Companions) {
        if (QFileInfo::exists(from + c))
            QFile::rename(from + c, to + c);
    }
    return true;
}

bool copyDatabaseFile(const QString &from, const QString &to) {
    const PathKind target = pathKind(to);
    if (!fileExists(from) || (target != PathKind::Absent && target != PathKind::Regular))
        return false;
    const QString temp = to + u".copy"_s;
    QFile::remove(temp);
    // The copy holds personal data from its first row on, whatever the template's mode.
    if (!QFile::copy(from, temp) ||
        !QFile(temp).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
        QFile::remove(temp);
        return false;
    }
    for (const QString &c : Companions)
        QFile::remove(to + c);
    if (!replaceFile(temp, to)) {
        QFile::remove(temp);
        return false;
    }
    return true;
}

bool copyTemplateRegister(const QString &from, const QString &to, QString *error) {
    if (!copyDatabaseFile(from, to))
        return false;
    Database db;
    if (db.open(to, Database::Access::Shared, error) && renewRegisterSettings(db.handle(), error))
        return true;
    db.close();
    deleteDatabaseFile(to);
    return false;
}

bool deleteDatabaseFile(const QString &path) {
    for (const QString &c : Companions)
        QFile::remove(path + c);
    return QFile::remove(path);
}

bool isReadOnlyFile(const QString &path) {
    const QFileInfo info(path);
    return info.exists() && !info.isWritable();
}

bool clearReadOnly(const QString &path) {
    QFile f(path);
    return f.setPermissions(f.permissions() | QFileDevice::WriteOwner);
}

QString datedFileName(const QString &path, const QDateTime &now) {
    const QFileInfo info(path);
    const QString stem =
        info.path() + u'/' + info.completeBaseName() + u'-' + now.toString(u"yyyyMMdd-HHmmss"_s);
    const QString suffix = info.suffix().isEmpty() ? QString() : u'.' + info.suffix();
    QString candidate = stem + suffix;
    for (int n = 2; pathKind(candidate) != PathKind::Absent; ++n)
        candidate = stem + u'-' + QString::number(n) + suffix;
    return candidate;
}

bool settleDatabaseFile(const QString &path) {
    const QString wal = path + u"-wal"_s;
    if (pathKind(wal) == PathKind::Absent)
        return true;
    {
        // Closing the last connection checkpoints the log and removes it.
        Database db;
        if (db.open(path, Database::Access::Shared))
            db.close();
    }
    if (QFileInfo(wal).size() == 0) {
        QFile::remove(wal);
        QFile::remove(path + u"-shm"_s);
    }
    return pathKind(wal) == PathKind::Absent;
}

namespace {

// Drops an update that is no longer needed, unless it holds part of a register.
void dropUpdate(const QString &update, const QDateTime &now, HousekeepingReport &report) {
    const qint64 rows = registerRowCount(update);
    if (rows == 0) {
        deleteDatabaseFile(update);
        return;
    }
    settleDatabaseFile(update);
    const QString kept = datedFileName(update, now);
    if (renameDatabaseFile(update, kept)) {
        report.notices.append({MessageType::NoteCaution,
                               u"更新数据库 %1 含有受测者或检测数据，没有删除，已改名保存为 %2。"_s.arg(
                                   update, QFileInfo(kept).fileName())});
    } else {
        report.notices.append({MessageType::NoteCaution,
                               u"更新数据库 %1 含有受测者或检测数据，没有删除，保持原状。"_s.arg(update)});
    }
}

} // namespace

HousekeepingReport upgradeDatabaseFiles(const ProgramFolder &folder, const QDateTime &now) {
    HousekeepingReport report;
    const QString update = folder.file(dbfile::Update);
    const QString main = folder.file(dbfile::Main);
    const QString legacy = folder.file(dbfile::Legacy);

    bool updateUsable = fileExists(update);
    if (pathKind(update) != PathKind::Absent) {
        const QStringList findings = checkDatabaseFile(update, SchemaKind::Main, PageCheck::Quick);
        if (!findings.isEmpty()) {
            updateUsable = false;
            report.notices.append(
                {MessageType::NoteError, u"更新数据库 %1 未通过检查（%2），所有数据库文件保持原状。"_s.arg(
                                             update, findings.join(u"；"_s))});
        }
    }
    if (updateUsable && fileExists(main)) {
        // Each rename fails rather than overwrite, so an unconverted legacy file stops both.
        settleDatabaseFile(main);
        if (renameDatabaseFile(main, legacy) && !renameDatabaseFile(update, main))
            renameDatabaseFile(legacy, main);
    }
    if (updateUsable && fileExists(update) && fileExists(legacy))
        dropUpdate(update, now, report);
    if (pathKind(main) == PathKind::Absent) {
        const QString template_ = folder.file(dbfile::Template);
        if (!copyTemplateRegister(template_, main)) {
            report.mainProblem = isReadOnlyFolder(folder.path())
                                     ? u"文件夹只读，无法建立主数据库"_s
                                     : u"无法从空白数据库 %1 建立主数据库"_s.arg(dbfile::Template);
        }
        if (updateUsable && fileExists(update))
            dropUpdate(update, now, report);
    }
    return report;
}

} // namespace orlu
