#pragma once

#include "storage/columndef.h"

#include <QSqlDatabase>
#include <QString>

// The few places where the register's SQL differs between the embedded file
// (SQLite) and a shared server (PostgreSQL). Everything else is the same SQL.
namespace orlu {

enum class Backend { Sqlite, Postgres };

class SqlDialect {
public:
    explicit SqlDialect(Backend backend)
        : m_backend(backend) {}
    // The dialect of an open connection, from its driver.
    static SqlDialect of(const QSqlDatabase &db);

    Backend backend() const { return m_backend; }
    bool isServer() const { return m_backend == Backend::Postgres; }

    // An expression compared and ordered without regard to the case of ASCII letters
    // (SQLite's NOCASE; on the server the same folding in code point order, and never NULL).
    QString folded(const QString &expr) const;
    // `expr` equals `value` without regard to ASCII letter case.
    QString equalsIgnoringCase(const QString &expr, const QString &value = QStringLiteral("?")) const;
    // A text column read as its stored UTF-8 bytes.
    QString asBytes(const QString &expr) const;
    // A query giving the column names of the table bound to its one parameter.
    QString tableColumnsQuery() const;
    // A column's declaration in CREATE TABLE.
    QString columnSql(const ColumnDef &column) const;

private:
    Backend m_backend;
};

// The Qt driver of a back end.
QString driverName(Backend backend);

} // namespace orlu
