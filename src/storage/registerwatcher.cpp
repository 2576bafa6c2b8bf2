#include "storage/registerwatcher.h"

#include "storage/serverschema.h"
#include "storage/sqldialect.h"

namespace orlu {

namespace {

QString channel() {
    return QString::fromLatin1(RegisterChangeChannel);
}

} // namespace

RegisterWatcher::RegisterWatcher(QSqlDatabase db, QObject *parent)
    : QObject(parent)
    , m_db(std::move(db)) {
    m_settle.setSingleShot(true);
    m_settle.setInterval(SettleMs);
    connect(&m_settle, &QTimer::timeout, this, &RegisterWatcher::changed);
    QSqlDriver *driver = m_db.driver();
    if (!driver || !SqlDialect::of(m_db).isServer() || !driver->hasFeature(QSqlDriver::EventNotifications))
        return;
    if (driver->subscribedToNotifications().contains(channel()))
        m_shared = true;
    else
        m_subscribed = driver->subscribeToNotification(channel());
    connect(driver, &QSqlDriver::notification, this,
            [this](const QString &name, QSqlDriver::NotificationSource source, const QVariant &) {
                noticed(name, source);
            });
}

RegisterWatcher::~RegisterWatcher() {
    if (m_subscribed && m_db.driver() && m_db.isOpen())
        m_db.driver()->unsubscribeFromNotification(channel());
}

void RegisterWatcher::noticed(const QString &name, QSqlDriver::NotificationSource source) {
    // This seat's own changes are shown by the window that made them.
    if (name == channel() && source != QSqlDriver::SelfSource)
        m_settle.start();
}

} // namespace orlu
