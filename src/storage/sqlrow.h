#pragma once

#include <QSqlDatabase>
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

inline const QString &rowGoneText() {
    static const QString text = QStringLiteral("该笔数据已不存在，可能已被其他工作站删除。");
    return text;
}

// Commits, or rolls back and gives the reason: a commit that failed leaves the transaction open.
template <typename Tx> bool commit(Tx &tx, QSqlDatabase &db, QString *error) {
    if (tx.commit())
        return true;
    if (error)
        *error = db.lastError().text();
    db.rollback();
    return false;
}

// Runs a prepared statement that must change exactly one row.
inline bool execOne(QSqlQuery &q, QString *error) {
    if (!q.exec())
        return fail(q, error);
    if (q.numRowsAffected() != 1) {
        if (error)
            *error = rowGoneText();
        return false;
    }
    return true;
}

} // namespace orlu::sqlrow
