#include "storage/registermaintenance.h"

#include "storage/database.h"
#include "storage/databasecheck.h"
#include "storage/registerbackup.h"

#include <QThread>

namespace orlu {

RegisterMaintenance::RegisterMaintenance(QObject *parent)
    : QObject(parent) {
    qRegisterMetaType<orlu::MaintenanceResult>();
}

RegisterMaintenance::~RegisterMaintenance() {
    // Closing the program must not wait for a copy of a large register.
    stop();
    wait();
}

void RegisterMaintenance::stop() {
    m_stop = true;
}

MaintenanceResult RegisterMaintenance::run(const QString &database, const QString &backupFolder,
                                           const QDate &today, const std::atomic<bool> *stop) {
    MaintenanceResult result;
    {
        Database db;
        QString error;
        if (!db.open(database, Database::Access::ReadOnly, &error) &&
            !db.open(database, Database::Access::Immutable, &error)) {
            result.damage << error;
            return result;
        }
        if (stop)
            stopWhen(db.handle(), stop);
        result.damage = pageFindings(db.handle(), PageCheck::Quick, 5);
    }
    if (stop && stop->load())
        return {}; // cut short: nothing was found, nothing is said
    // A damaged register is never copied: its copy would push a sound one out of the rotation.
    if (result.damage.isEmpty() && !backupFolder.isEmpty()) {
        RegisterBackup backup(database, backupFolder);
        backup.setStopFlag(stop);
        result.backup = backup.makeDaily(today, &result.backupError);
        if (stop && stop->load())
            result.backupError.clear();
    }
    return result;
}

void RegisterMaintenance::start(const QString &database, const QString &backupFolder, const QDate &today) {
    wait();
    m_stop = false;
    m_thread.reset(QThread::create([this, database, backupFolder, today] {
        const MaintenanceResult result = run(database, backupFolder, today, &m_stop);
        QMetaObject::invokeMethod(
            this, [this, result] { emit finished(result); }, Qt::QueuedConnection);
    }));
    m_thread->setObjectName(QStringLiteral("register-maintenance"));
    m_thread->start(QThread::LowPriority);
}

bool RegisterMaintenance::isRunning() const {
    return m_thread && m_thread->isRunning();
}

void RegisterMaintenance::wait() {
    if (m_thread)
        m_thread->wait();
}

} // namespace orlu
