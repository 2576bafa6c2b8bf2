#pragma once

#include <QDate>
#include <QObject>
#include <QString>
#include <QStringList>

#include <atomic>
#include <memory>

class QThread;

namespace orlu {

// What the background check of a start found.
struct MaintenanceResult {
    QStringList damage; // quick_check's findings; empty when the pages are sound
    QString backup;     // the routine copy made, if one was due
    QString backupError;
};

// The checks that would slow a start on a large register run here, on a
// thread of their own with their own connection, after the main window shows:
// the engine's quick_check of the main database and, when the pages are
// sound, the day's routine copy. `finished` arrives on the owner's thread.
class RegisterMaintenance : public QObject {
    Q_OBJECT
public:
    explicit RegisterMaintenance(QObject *parent = nullptr);
    ~RegisterMaintenance() override; // ends the work early and waits for the thread

    // `backupFolder` empty: no copy is made (a read-only register).
    void start(const QString &database, const QString &backupFolder, const QDate &today);
    bool isRunning() const;
    // Blocks until the work is done; `finished` is still delivered by the event loop.
    void wait();

    // Ends the work early (a copy cut short leaves nothing); `finished` still comes.
    void stop();

    // The work itself, as the thread does it; `stop` ends it early.
    static MaintenanceResult run(const QString &database, const QString &backupFolder, const QDate &today,
                                 const std::atomic<bool> *stop = nullptr);

signals:
    void finished(const orlu::MaintenanceResult &result);

private:
    std::unique_ptr<QThread> m_thread;
    std::atomic<bool> m_stop{false};
};

} // namespace orlu
