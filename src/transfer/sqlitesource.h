#pragma once

#include "storage/database.h"
#include "transfer/sourcefile.h"

#include <QHash>

namespace orlu {

// One of our own database files as a source. The file may come from anywhere, so it
// is opened read-only with its schema untrusted (no functions with side effects in
// its views, triggers or defaults), checked to be whole, and must hold the register
// tables as plain tables whose columns have the kinds of values they should. Rows
// go over with INSERT ... SELECT through a read-only attachment; nothing of the
// file's own schema runs against the main database.
class SqliteSource final : public SourceFile {
public:
    static std::unique_ptr<SqliteSource> open(const QString &path, QString *error);

    QStringList tables() const override { return m_tables; }
    QStringList columns(const QString &table) const override { return m_columns.value(table.toUpper()); }
    qint64 rowCount(const QString &table) const override;
    bool appendSideRowsTo(QSqlDatabase target, qint64 keysAbove, QString *error) override;
    bool appendTo(QSqlDatabase target, const QString &table, const QList<ColumnDef> &columns,
                  CopyProgress &progress, QString *error) override;
    bool connect(QSqlDatabase target, QString *error) override;
    void disconnect(QSqlDatabase target) override;

private:
    SqliteSource() = default;
    bool check(QString *error);
    // Refuses the rows of `table` when one of them breaks the readings rule.
    bool checkReadings(const QString &table, QString *error);

    QString m_path;
    Database m_db;
    QStringList m_tables;
    QHash<QString, QStringList> m_columns;
    QString m_previousTrust;
};

} // namespace orlu
