#pragma once

#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QVariant>

// Small helpers the repositories share.
namespace orlu::sqlrow {

// Text columns the system writes hold text, never NULL.
inline QVariant text(const QString &s) {
    return s.isNull() ? QVariant(QString(QLatin1StringView(""))) : QVariant(s);
}

inline bool fail(const QSqlQuery &q, QString *error) {
    if (error)
        *error = q.lastError().text();
    return false;
}

// Runs a prepared statement that must change exactly one row.
inline bool execOne(QSqlQuery &q, QString *error) {
    if (!q.exec())
        return fail(q, error);
    if (q.numRowsAffected() != 1) {
        if (error)
            *error = QStringLiteral("该笔数据已不存在。");
        return false;
    }
    return true;
}

} // namespace orlu::sqlrow
