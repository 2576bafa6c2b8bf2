#include "storage/registerbackup.h"

#include "platform/outputfile.h"
#include "platform/privatefiles.h"
#include "storage/database.h"
#include "storage/databasecheck.h"
#include "storage/databasefiles.h"
#include "storage/registercopy.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <algorithm>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

void setError(QString *error, const QString &text) {
    if (error)
        *error = text;
}

// The snapshot is written where it will live and named only once complete.
bool syncFile(const QString &path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadWrite))
        return false;
#ifdef Q_OS_UNIX
    return ::fsync(f.handle()) == 0;
#else
    return f.flush();
#endif
}

bool snapshot(const QString &database, const QString &temp, const std::atomic<bool> *stop, QString *error) {
    bool made = false;
    {
        Database db;
        QString why;
        if (!db.open(database, Database::Access::ReadOnly, &why) &&
            !db.open(database, Database::Access::Immutable, &why)) {
            setError(error, why);
            return false;
        }
        if (stop)
            stopWhen(db.handle(), stop);
        QSqlQuery q(db.handle());
        q.prepare(u"VACUUM INTO ?"_s);
        q.addBindValue(temp);
        made = q.exec();
        if (!made)
            setError(error, q.lastError().text());
    }
    if (made) {
        const QStringList findings = checkDatabaseFile(temp, SchemaKind::Main, PageCheck::Quick);
        if (!findings.isEmpty()) {
            setError(error, findings.join(u"；"_s));
            made = false;
        }
    }
    made = made && QFile(temp).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner) &&
           syncFile(temp);
    if (!made)
        QFile::remove(temp);
    return made;
}

bool streamTo(const QString &source, const QString &target, QString *error) {
    QFile in(source);
    QFile out;
    const bool opened = target == u"-"_s
                            ? out.open(stdout, QIODevice::WriteOnly, QFileDevice::DontCloseHandle)
                            : (out.setFileName(target), out.open(QIODevice::WriteOnly));
    if (!in.open(QIODevice::ReadOnly) || !opened) {
        setError(error, opened ? in.errorString() : out.errorString());
        return false;
    }
    while (!in.atEnd()) {
        const QByteArray chunk = in.read(1 << 20);
        if (chunk.isEmpty() || out.write(chunk) != chunk.size()) {
            setError(error, out.errorString());
            return false;
        }
    }
    return out.flush();
}

// "orlu4-YYYYMMDD.mdb", or "orlu4-YYYYMMDD-N.mdb" when that name was taken by something
// else (a copy on demand has six digits after the day).
const QRegularExpression &dailyPattern() {
    static const QRegularExpression pattern(u"^orlu4-(\\d{8})(?:-\\d{1,2})?\\.mdb$"_s);
    return pattern;
}

// The names a day's routine copy may take, the usual one first.
QStringList dailyNames(const QString &folder, const QDate &day) {
    const QString stem = folder + u"orlu4-"_s + day.toString(u"yyyyMMdd"_s);
    QStringList names{stem + u".mdb"_s};
    for (int n = 2; n < 100; ++n)
        names << stem + u'-' + QString::number(n) + u".mdb"_s;
    return names;
}

} // namespace

RegisterBackup::RegisterBackup(QString database, QString folder)
    : m_database(std::move(database))
    , m_folder(QDir::cleanPath(folder) + u'/') {}

QString RegisterBackup::dailyFileName(const QDate &day) {
    return u"orlu4-%1.mdb"_s.arg(day.toString(u"yyyyMMdd"_s));
}

QString RegisterBackup::dailyPath(const QDate &day) const {
    return m_folder + dailyFileName(day);
}

bool RegisterBackup::dailyDue(const QDate &day) const {
    const QStringList names = dailyNames(m_folder, day);
    return std::none_of(names.cbegin(), names.cend(),
                        [](const QString &name) { return linkKind(name) == PathKind::Regular; });
}

bool RegisterBackup::ensureFolder(QString *error) const {
    if (createPrivateFolder(m_folder))
        return true;
    setError(error, u"无法建立备份文件夹 %1"_s.arg(m_folder));
    return false;
}

bool RegisterBackup::copyTo(const QString &target, QString *error) const {
    const PathKind kind = target == u"-"_s ? PathKind::Fifo : pathKind(target);
    if (kind == PathKind::Fifo || kind == PathKind::CharDevice) {
        QTemporaryDir work;
        const QString temp = work.filePath(u"snapshot.mdb"_s);
        return work.isValid() && snapshot(m_database, temp, m_stop, error) && streamTo(temp, target, error);
    }
    if (kind != PathKind::Absent && kind != PathKind::Regular) {
        setError(error, u"%1 不是普通文件"_s.arg(target));
        return false;
    }
    // Made in a private folder of its own beside the target (the engine's journal stays
    // in there too) and moved out under its name only once checked.
    const WorkFolder work(target);
    if (!work.isValid()) {
        setError(error, work.error());
        return false;
    }
    const QString temp = work.filePath(u"copy.mdb"_s);
    return snapshot(m_database, temp, m_stop, error) && replaceFile(temp, target, error);
}

QString RegisterBackup::makeDaily(const QDate &day, QString *error, QString *note) const {
    if (!dailyDue(day) || !ensureFolder(error))
        return {};
    // A link or a pipe under the day's name is not ours: it is left alone and the copy
    // takes the next free name.
    const QStringList names = dailyNames(m_folder, day);
    const auto free = std::find_if(names.cbegin(), names.cend(),
                                   [](const QString &name) { return linkKind(name) == PathKind::Absent; });
    if (free == names.cend()) {
        setError(error, u"备份文件夹中 %1 的名称都已被占用"_s.arg(dailyFileName(day)));
        return {};
    }
    const QString target = *free;
    if (!copyTo(target, error))
        return {};
    if (note && target != names.first())
        *note = u"备份档案名称 %1 已被其他档案占用，今日的备份已存为 %2"_s.arg(
            QFileInfo(names.first()).fileName(), QFileInfo(target).fileName());
    prune();
    return target;
}

QStringList RegisterBackup::prune(int daily, int monthly) const {
    QMap<QDate, QStringList> copies; // ascending by day
    for (const QString &name : QDir(m_folder).entryList(QDir::Files | QDir::NoSymLinks)) {
        const auto m = dailyPattern().match(name);
        const QDate day = m.hasMatch() ? QDate::fromString(m.captured(1), u"yyyyMMdd"_s) : QDate();
        if (day.isValid())
            copies[day] << name;
    }
    QSet<QDate> keep;
    QMap<int, QDate> firstOfMonth; // year * 100 + month
    for (auto it = copies.cbegin(); it != copies.cend(); ++it) {
        const int month = it.key().year() * 100 + it.key().month();
        if (!firstOfMonth.contains(month))
            firstOfMonth.insert(month, it.key());
    }
    int n = 0;
    for (auto it = copies.cend(); it != copies.cbegin() && n < daily; ++n)
        keep.insert((--it).key());
    n = 0;
    for (auto it = firstOfMonth.cend(); it != firstOfMonth.cbegin() && n < monthly; ++n)
        keep.insert((--it).value());
    QStringList deleted;
    for (auto it = copies.cbegin(); it != copies.cend(); ++it) {
        for (const QString &name : it.value()) {
            if (!keep.contains(it.key()) && QFile::remove(m_folder + name))
                deleted << name;
        }
    }
    // A copy cut short (the program was ended while it was written) never took a name.
    removeStaleTemporariesIn(m_folder);
    return deleted;
}

QString RegisterBackup::onDemandPath(const QDateTime &now) const {
    return datedFileName(m_folder + u"orlu4.mdb"_s, now);
}

QString RegisterBackup::makeBeforeChange(const QDateTime &now, QString *error) const {
    if (!ensureFolder(error))
        return {};
    const QString target = datedFileName(m_folder + u"orlu4-backup.mdb"_s, now);
    QString why;
    if (!copyTo(target, &why)) {
        setError(error, u"无法建立备份档案 %1: %2"_s.arg(QFileInfo(target).fileName(), why));
        return {};
    }
    return target;
}

bool RegisterBackup::restore(const QString &from, const QDateTime &now, QString *keptAs,
                             QString *error) const {
    const QStringList findings = checkDatabaseFile(from, SchemaKind::Main, PageCheck::Quick);
    if (!findings.isEmpty()) {
        setError(error, u"%1：%2"_s.arg(from, findings.join(u"；"_s)));
        return false;
    }
    if (!ensureFolder(error))
        return false;
    // The copy is made and checked in a private folder beside the register, and takes
    // its place only whole.
    const WorkFolder work(m_database);
    if (!work.isValid()) {
        setError(error, work.error());
        return false;
    }
    const QString temp = work.filePath(u"restored.mdb"_s);
    QString why;
    if (!snapshot(from, temp, m_stop, &why)) {
        setError(error, u"无法复制 %1: %2"_s.arg(from, why));
        return false;
    }
    if (fileExists(m_database)) {
        // The replaced register stays at hand; copying (not moving) it keeps a database in place throughout.
        // Its log is folded in first, so none is left to be applied to the restored file.
        const QString kept = datedFileName(m_folder + u"orlu4-replaced.mdb"_s, now);
        why.clear();
        if (!settleDatabaseFile(m_database) || !copyTo(kept, &why)) {
            setError(error, u"无法保留原有的数据库 %1"_s.arg(m_database) +
                                (why.isEmpty() ? QString() : u": "_s + why));
            return false;
        }
        if (keptAs)
            *keptAs = kept;
    }
    return replaceFile(temp, m_database, error);
}

QString backupBeforeChange(const QString &database, const ProgramFolder &folder, const QDateTime &now,
                           QString *error) {
    const RegisterBackup backup(database, folder.file(RegisterBackup::backupFolderName()));
    const QString path = backup.makeBeforeChange(now, error);
    return path.isEmpty() ? QString()
                          : RegisterBackup::backupFolderName() + u'/' + QFileInfo(path).fileName();
}

QString backupBeforeChange(const Database &main, const ProgramFolder &folder, const QDateTime &now,
                           QString *error) {
    if (!main.dialect().isServer())
        return backupBeforeChange(main.path(), folder, now, error);
    const ServerRegisterFile copy(main.handle());
    if (!copy.isValid()) {
        setError(error, u"无法建立备份档案: "_s + copy.error());
        return {};
    }
    return backupBeforeChange(copy.path(), folder, now, error);
}

ServerRegisterFile::ServerRegisterFile(const QSqlDatabase &server) {
    if (!m_folder.isValid()) {
        m_error = m_folder.errorString();
        return;
    }
    const QString path = m_folder.filePath(u"register.mdb"_s);
    if (copyRegisterToNewFile(server, path, &m_error))
        m_path = path;
}

} // namespace orlu
