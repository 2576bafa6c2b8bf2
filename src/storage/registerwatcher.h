#pragma once

#include <QObject>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QTimer>

namespace orlu {

// Tells an open list window that another seat changed the register, so it can read its
// lists again. A server announces every committed change (see serverschema.h); a file
// announces nothing, and then the watcher stays silent.
class RegisterWatcher : public QObject {
    Q_OBJECT
public:
    explicit RegisterWatcher(QSqlDatabase db, QObject *parent = nullptr);
    ~RegisterWatcher() override;

    // True when changes of other seats will be announced.
    bool isActive() const { return m_subscribed || m_shared; }

    // Notices that arrive together (a subject deleted with its measurements, a burst of
    // saves) give one changed() after this many milliseconds of quiet.
    static constexpr int SettleMs = 150;

signals:
    void changed();

private:
    void noticed(const QString &name, QSqlDriver::NotificationSource source);

    QSqlDatabase m_db;
    QTimer m_settle;
    bool m_subscribed = false; // this watcher subscribed the connection
    bool m_shared = false;     // another watcher on the connection had already
};

} // namespace orlu
